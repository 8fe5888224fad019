// SPDX-License-Identifier: MIT
#include "Main.h"
#include "NMHttp.h"
#include "addresses.h"
#include "catalogue_fetch.h"
#include "wx_text.h"

namespace kwirl {

// The catalogue fetch at start-up: fills the catalogue fields, keeps the page
// and the addresses read from it in Memo1, and never lets a failure escape.
void TFrm::LoadCatalogue() {
    const CatalogueFetch fetched = fetchCatalogue(*LibLoaderNM, catalogueAddress());
    try {
        Memo1->SetValue(toWx(fetched.header));
        Memo1->SetValue(toWx(fetched.text));
        CatalogueLoaded = fetched.loaded;
        for (const auto& entry : fetched.entries) {
            if (static_cast<std::size_t>(CatalogueCount) >= kMostCatalogueEntries) break;
            CatalogueNames[static_cast<std::size_t>(CatalogueCount)] = entry.name;
            CatalogueRefs[static_cast<std::size_t>(CatalogueCount)] = entry.address;
            Memo1->AppendText("\n" + toWx(entry.address));
            ++CatalogueCount;
        }
    } catch (...) {
        CatalogueLoaded = false;
    }
}

}  // namespace kwirl
