// SPDX-License-Identifier: MIT
#include "Main.h"
#include "guard.h"

namespace kwirl {

// Every navigation passes here first, a frame's included. Fail-closed: the
// navigation is cancelled unless every step below completes.
void TFrm::CBWBeforeNavigate2(TCppWebBrowser*, void*, const std::string& URL, std::int32_t, const std::string&,
                              const std::string&, const std::string&, std::int16_t& Cancel) {
    Cancel = 1;
    const std::string address = URL;
    try {
        followAddress(address);
        CBW->Focus();
        Cancel = 0;
    } catch (...) {
        // Captions already set stay; the navigation stays cancelled.
        logSwallowedFailure("filtering a navigation");
    }
}

// A page, or a frame of it, shown again from the history: the engine asks no
// question first, so the window follows it here, by the same rules, and ends
// as a new load of that page and its frames would leave it.
void TFrm::CBWHistoryNavigate(TCppWebBrowser*, const std::string& URL) {
    swallowFailures("following a page shown from the history", [&] {
        followAddress(URL);
        CBW->Focus();
    });
}

// The page state follows every address, a frame's included; the buttons show
// what it then holds, even when it fails part way.
void TFrm::followAddress(const std::string& address) {
    try {
        page_.follow(address);
    } catch (...) {
        showPageState();
        throw;
    }
    showPageState();
}

}  // namespace kwirl
