// SPDX-License-Identifier: MIT
// The catalogue parser on any text: never more than 100 entries, never a
// crash, and every address keeps the marker the page form turns into "zZz".

#include <cstdint>
#include <string>

#include "catalogue_page.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto entries = kwirl::parseCataloguePage(text);
    if (entries.size() > kwirl::kMostCatalogueEntries) __builtin_trap();
    for (const auto& entry : entries) {
        if (entry.address.find("zZz") == std::string::npos) __builtin_trap();
        if (entry.name.size() > text.size() || entry.address.size() > text.size() + 3) __builtin_trap();
    }
    return 0;
}
