// SPDX-License-Identifier: MIT
#pragma once
// Reading the library catalogue out of the catalogue page's text.
//
// An entry is: "<kk ref=", one skipped character, the address in its page
// form (the real address with its "ht" written as one character and its first
// "zZz" as "z3z"), one dropped character, ">", the name, one dropped
// character, "/kk>". The reading below follows the page's format exactly,
// including how a malformed entry is read, since catalogue pages rely on it.

#include <cstddef>
#include <string>
#include <vector>

namespace kwirl {

struct CatalogueEntry {
    std::string name;
    std::string address;
    bool operator==(const CatalogueEntry&) const = default;
};

inline constexpr std::size_t kMostCatalogueEntries = 100;

// The entries of a page, at most `most` of them.
std::vector<CatalogueEntry> parseCataloguePage(const std::string& text, std::size_t most = kMostCatalogueEntries);

// The text a NUL-terminated text box holds for `body`: everything before its first NUL.
std::string untilFirstNul(const std::string& body);

}  // namespace kwirl
