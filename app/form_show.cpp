// SPDX-License-Identifier: MIT
#include <algorithm>

#include "Main.h"
#include "addresses.h"
#include "address_vocabulary.h"
#include "guard.h"
#include "libraries.h"
#include "wx_text.h"

namespace kwirl {

// Prepares the window when it is first shown: the library list, the captions,
// the first two pages, and the window maximised.
void TFrm::FormShow(wxObject*) {
    swallowFailures([this] {
        CB->Clear();
        if (CatalogueCount > 0) {
            const int count = std::min<std::int32_t>(CatalogueCount, kCatalogueCapacity);
            for (int i = 0; i < count; ++i) CB->Append(toWx(std::to_string(i) + ":" + CatalogueNames[i]));
        } else {
            for (const auto name : builtInLibraryNames()) CB->Append(toWx(std::string(name)));
        }
        CB->SetSelection(0);  // raises no event, so the selector does not run

        Button8->SetLabel("Hall of Awards");
        Button6->SetLabel("ChampionShip");
        Button4->SetLabel("Puzzle Guide");
        Label1->SetLabel("Library");
        BitBtn1->SetLabel("Home");
        SetTitle("Kwirl Mozalo Laboratory");

        swallowFailures([this] {
            CBW->Navigate(std::string(vocab::kBlankPage));
            CBW->Navigate(startPageAddress());
        });
        Maximize(true);
    });
}

}  // namespace kwirl
