// SPDX-License-Identifier: MIT
#include "catalogue_page.h"

#include "text_ops.h"

namespace kwirl {

namespace {
std::int64_t length(const std::string& text) { return static_cast<std::int64_t>(text.size()); }
}  // namespace

std::vector<CatalogueEntry> parseCataloguePage(const std::string& text, std::size_t most) {
    std::vector<CatalogueEntry> entries;
    std::string work = text;
    while (entries.size() < most && positionOf("<kk ref=", work) > 0) {
        const auto p = positionOf("<kk ref=", work);
        const auto a = positionOf("/kk>", work);
        // From the second character after "<kk ref=" to just before "/kk>".
        const std::string entry = substring(work, p + 9, a - p - 9);
        // Resume at the second character after "/kk>", one character shorter at the end.
        work = substring(work, a + 5, length(work) - a - 5);

        const auto g = positionOf(">", entry);
        const auto e = length(entry);
        std::string address = substring(entry, 0, g - 1);
        std::string name = substring(entry, g + 1, e - g - 1);

        address = "ht" + substring(address, 2, length(address) - 1);
        const auto z = positionOf("z3z", address);
        const auto m = length(address);
        address = substring(address, 0, z - 1) + "zZz" + substring(address, z + 3, m - z - 3);
        entries.push_back({std::move(name), std::move(address)});
    }
    return entries;
}

std::string untilFirstNul(const std::string& body) { return body.substr(0, body.find('\0')); }

}  // namespace kwirl
