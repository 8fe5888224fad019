// SPDX-License-Identifier: MIT
#include <algorithm>
#include <span>

#include "Main.h"
#include "NMHttp.h"
#include "addresses.h"
#include "catalogue_fetch.h"
#include "guard.h"
#include "libraries.h"
#include "nested_wait.h"
#include "wx_text.h"

namespace kwirl {

// The catalogue fetch at start-up: fills the catalogue fields and never lets a
// failure escape.
// It runs once the window is shown and the start page is on its way, so a slow
// network delays neither; the drop-down offers the built-in list until the
// catalogue's libraries arrive, and keeps it if they never do.
void TFrm::LoadCatalogue() {
    if (destroyed_) return;  // the wait would run the idle work that deletes this window
    catalogueFetch_ = FetchState::running;
    CatalogueFetch fetched;
    waitInside([&] { fetched = fetchCatalogue(*LibLoaderNM, catalogueAddress()); });
    catalogueFetch_ = FetchState::ended;
    if (destroyed_) return;
    try {
        CatalogueLoaded = fetched.loaded;
        for (const auto& entry : fetched.entries) {
            if (static_cast<std::size_t>(CatalogueCount) >= kMostCatalogueEntries) break;
            CatalogueNames[static_cast<std::size_t>(CatalogueCount)] = entry.name;
            CatalogueRefs[static_cast<std::size_t>(CatalogueCount)] = entry.address;
            ++CatalogueCount;
        }
        if (CatalogueCount > 0) {
            // A library chosen from the built-in list meanwhile stays chosen
            // when the catalogue has it: the drop-down and the number buttons
            // go on with the library the person took.
            const int chosen = CB->GetSelection();
            showLibraryList();
            const auto refs = std::span(CatalogueRefs).first(static_cast<std::size_t>(CatalogueCount));
            const int same = chosen > 0 ? catalogueEntryOfBuiltIn(chosen, refs) : -1;
            if (same > 0) CB->SetSelection(same);  // raises no event
        }
    } catch (...) {
        logSwallowedFailure("filling the library catalogue");
        CatalogueLoaded = false;
    }
}

// The drop-down gets the catalogue's names, or the built-in list while there
// are none, and the first entry is chosen.
void TFrm::showLibraryList() {
    CB->Clear();
    if (CatalogueCount > 0) {
        const std::int32_t count = std::min(CatalogueCount, static_cast<std::int32_t>(kMostCatalogueEntries));
        for (std::int32_t i = 0; i < count; ++i)
            CB->Append(toWx(std::to_string(i) + ":" + CatalogueNames[static_cast<std::size_t>(i)]));
    } else {
        for (const std::string& name : builtInLibraryNames()) CB->Append(toWx(name));
    }
    CB->SetSelection(0);      // raises no event, so the selector does not run
    describeNumberButtons();  // in shortcut mode they name the library chosen
}

}  // namespace kwirl
