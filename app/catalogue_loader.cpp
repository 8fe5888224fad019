// SPDX-License-Identifier: MIT
#include <glib.h>

#include <algorithm>
#include <span>

#include "Main.h"
#include "NMHttp.h"
#include "addresses.h"
#include "catalogue_fetch.h"
#include "guard.h"
#include "libraries.h"
#include "nested_wait.h"
#include "site_of_address.h"
#include "wx_text.h"

namespace kwirl {

// The catalogue fetch at start-up: fills the catalogue fields and never lets a
// failure escape; true when the portal answered it.
// It runs once the window is shown and the start page is on its way, so a slow
// network delays neither; the drop-down offers the built-in list until the
// catalogue's libraries arrive, and keeps it if they never do.
bool TFrm::LoadCatalogue() {
    if (destroyed_) return false;  // the wait would run the idle work that deletes this window
    catalogueFetch_ = FetchState::running;
    CatalogueFetch fetched;
    waitInside([&] { fetched = fetchCatalogue(*LibLoaderNM, catalogueAddress()); });
    catalogueFetch_ = FetchState::ended;
    if (destroyed_) return false;
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
    return !fetched.header.empty();
}

// The fetch runs from the next turn of the main loop: beside the start page at
// first, and once more when the portal answers after a start-up without it.
void TFrm::scheduleCatalogueFetch() {
    if (catalogueStart_ != 0) return;
    catalogueStart_ = g_idle_add_full(
        G_PRIORITY_DEFAULT,
        [](gpointer window) {
            auto* frame = static_cast<TFrm*>(window);
            frame->catalogueStart_ = 0;
            if (frame->catalogueFetch_ == FetchState::notStarted) {
                frame->LoadCatalogue();
            } else {
                frame->fetchCatalogueAgain();
            }
            return G_SOURCE_REMOVE;
        },
        this, nullptr);
}

// The start-up fetch ended without a library (the portal was away, or gave no
// catalogue), and it was not asked for again yet.
bool TFrm::catalogueMissing() const {
    return catalogueFetch_ == FetchState::ended && CatalogueCount == 0 && !catalogueFetchedAgain_;
}

// A page of the portal's is shown, not the client's own page standing in for
// one (known once the commit's handlers have run, as here): the portal may
// answer again, and its catalogue is fetched once more, with the start-up's
// bounds. A page from the engine's cache is shown with the portal still away:
// only a fetch the portal answered, with or without a catalogue, is the last.
// The page shown and the library chosen stay as they are.
void TFrm::fetchCatalogueAgain() {
    if (!catalogueMissing() || CBW->ShowsOwnPage() || !isPortalSiteAddress(CBW->LocationURL())) return;
    if (LoadCatalogue()) catalogueFetchedAgain_ = true;
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
    CB->SetSelection(0);  // raises no event, so the selector does not run
    showPageState();      // in shortcut mode they name the library chosen
}

}  // namespace kwirl
