// SPDX-License-Identifier: MIT
#pragma once
// Whether a drop-down position has an entry in the loaded catalogue. Positions
// without one (a short catalogue, no selection) fall back to the built-in
// addresses instead of reading past the catalogue.

#include <cstdint>

namespace kwirl {

inline bool hasCatalogueEntry(bool catalogueLoaded, std::int32_t catalogueCount, int position) {
    return catalogueLoaded && position >= 0 && position < catalogueCount;
}

}  // namespace kwirl
