// SPDX-License-Identifier: MIT
// The page the view shows, as the window last followed it: a load that is
// stopped before its page came leaves that page shown, and the window goes
// back to its captions, names and page number.

#include "Main.h"
#include "guard.h"

namespace kwirl {

void TFrm::rememberShownPage() {
    page_.pageShown(CBW->LocationURL());
    showPageState();  // a click now acts on this page
}

void TFrm::backToShownPage() {
    if (page_.backToShownPage(CBW->LocationURL())) showPageState();
}

// A load given up before its page came (stopped by the page, replaced, turned
// into a download): the page before is still shown, and the window says so.
void TFrm::CBWLoadAbandoned(TCppWebBrowser*) {
    swallowFailures("going back to the page still shown", [&] { backToShownPage(); });
}

}  // namespace kwirl
