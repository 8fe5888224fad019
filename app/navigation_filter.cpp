// SPDX-License-Identifier: MIT
#include "Main.h"
#include "address_classes.h"
#include "address_vocabulary.h"
#include "captions.h"
#include "guard.h"
#include "offset_parsing.h"
#include "site_of_address.h"
#include "text_ops.h"
#include "wx_text.h"

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

// The number buttons' captions and PageIndex for a page at `address`: only a
// page or frame of the portal's site (or the empty page) sets them; an
// advert's frame may name any address it likes. A page offset that is no number fails after the
// captions of the tests before it.
void TFrm::followAddress(const std::string& address) {
    if (address != "about:blank" && !isPortalSiteAddress(address)) return;
    if (holds(address, std::string(vocab::kScriptFalseToken))) return;
    if (isGameAddress(address)) setNumberCaptions(NumberMode::Pieces, piecesCaptions());
    if (isWidePagedListAddress(address)) {
        PageIndex = pageIndexOfOffset(offsetText(address));
        setNumberCaptions(NumberMode::Paging, pagingCaptions(PageIndex));
    }
    if (isNeutralAddress(address)) setNumberCaptions(NumberMode::Shortcut, shortcutCaptions());
}

void TFrm::setNumberCaptions(NumberMode mode, const NumberCaptions& captions) {
    const auto buttons = numberButtons();
    for (std::size_t i = 0; i < buttons.size(); ++i) buttons[i]->SetLabel(toWx(captions[i]));
    numberMode_ = mode;
    describeNumberButtons();
}

}  // namespace kwirl
