// SPDX-License-Identifier: MIT
#include "Main.h"

#include "addresses.h"
#include "address_vocabulary.h"
#include "captions.h"
#include "guard.h"
#include "toolbar_buttons.h"
#include "wx_text.h"

namespace kwirl {

// Prepares the window when it is first shown: the library list, the captions,
// the empty page, then the page it was started for, or else the page the
// player left off at (or the start page),
// and the window as it was left; then fetches the catalogue.
void TFrm::FormShow(wxObject*) {
    swallowFailures("preparing the window's first show", [this] {
        showLibraryList();

        const auto rows = toolbarButtons();
        for (std::size_t r = 0; r < rows.size(); ++r) {
            if (rows[r].caption) toolbarControls_[r]->SetLabel(rows[r].caption);
        }
        Label1->SetLabel(kLibraryLabel);
        SetTitle(kWindowCaption);
        describeFixedControls();

        swallowFailures("opening the start page", [this] {
            CBW->Navigate(std::string(vocab::kBlankPage));
            if (!startAddress_.empty()) return CBW->Navigate(startAddress_);
            bool resumed = false;
            swallowFailures("going back to the page left off at", [&] { resumed = resumeWhereLeft(); });
            if (!resumed) CBW->Navigate(startPageAddress());
        });
        showAsLeft();
    });
    // The catalogue comes beside the start page, from the next turn of the loop.
    if (catalogueFetch_ == FetchState::notStarted) scheduleCatalogueFetch();
}

}  // namespace kwirl
