// SPDX-License-Identifier: MIT
#include <algorithm>

#include "Main.h"
#include "addresses.h"
#include "address_vocabulary.h"
#include "captions.h"
#include "guard.h"
#include "libraries.h"
#include "toolbar_buttons.h"
#include "wx_text.h"

namespace kwirl {

// Prepares the window when it is first shown: the library list, the captions,
// the first two pages, and the window maximised.
void TFrm::FormShow(wxObject*) {
    swallowFailures([this] {
        CB->Clear();
        if (CatalogueCount > 0) {
            const std::int32_t count = std::min(CatalogueCount, static_cast<std::int32_t>(kMostCatalogueEntries));
            for (std::int32_t i = 0; i < count; ++i) CB->Append(toWx(std::to_string(i) + ":" + CatalogueNames[static_cast<std::size_t>(i)]));
        } else {
            for (const auto name : builtInLibraryNames()) CB->Append(toWx(std::string(name)));
        }
        CB->SetSelection(0);  // raises no event, so the selector does not run

        for (const ToolbarButton& row : toolbarButtons()) {
            if (row.caption) (this->*row.control)->SetLabel(row.caption);
        }
        Label1->SetLabel(kLibraryLabel);
        SetTitle(kWindowCaption);

        swallowFailures([this] {
            CBW->Navigate(std::string(vocab::kBlankPage));
            CBW->Navigate(startPageAddress());
        });
        Maximize(true);
    });
}

}  // namespace kwirl
