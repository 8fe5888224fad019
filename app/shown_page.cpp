// SPDX-License-Identifier: MIT
// The page the view shows, as the window last followed it: a load that is
// stopped before its page came leaves that page shown, and the window goes
// back to its captions, names and page number.

#include "Main.h"
#include "guard.h"
#include "wx_text.h"

namespace kwirl {

void TFrm::rememberShownPage() {
    ShownPage page;
    page.address = CBW->LocationURL();
    const auto buttons = numberButtons();
    for (std::size_t i = 0; i < buttons.size(); ++i) page.captions[i] = fromWx(buttons[i]->GetLabel());
    page.mode = numberMode_;
    page.pageIndex = PageIndex;
    shownPage_ = page;
    describeNumberButtons();  // a click now acts on this page
}

void TFrm::backToShownPage() {
    if (!shownPage_ || CBW->LocationURL() != shownPage_->address) return;  // the new page came after all
    PageIndex = shownPage_->pageIndex;
    setNumberCaptions(shownPage_->mode, shownPage_->captions);
}

// A load given up before its page came (stopped by the page, replaced, turned
// into a download): the page before is still shown, and the window says so.
void TFrm::CBWLoadAbandoned(TCppWebBrowser*) {
    swallowFailures("going back to the page still shown", [&] { backToShownPage(); });
}

}  // namespace kwirl
