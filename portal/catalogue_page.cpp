// SPDX-License-Identifier: MIT
#include "catalogue_page.h"

#include "text_ops.h"

namespace kwirl {

namespace {
// The tokens of the page format (see the header).
const std::string kEntryStart = "<kk ref=";
const std::string kEntryEnd = "/kk>";
const std::string kNameStart = ">";
// The page writes an address with its "ht" as one character and its first
// "zZz" as "z3z".
const std::string kAddressStart = "ht";
const std::string kRealMark = "zZz";
const std::string kPageMark = "z3z";
// The characters skipped after the start and after the end of an entry.
constexpr std::int64_t kSkipped = 1;

std::int64_t length(const std::string& text) { return static_cast<std::int64_t>(text.size()); }
}  // namespace

std::vector<CatalogueEntry> parseCataloguePage(const std::string& text, std::size_t most) {
    std::vector<CatalogueEntry> entries;
    std::string work = text;
    while (entries.size() < most && positionOf(kEntryStart, work) > 0) {
        const auto start = positionOf(kEntryStart, work);
        const auto end = positionOf(kEntryEnd, work);
        // From the second character after the start to just before the end.
        const auto first = start + length(kEntryStart) + kSkipped;
        const std::string entry = substring(work, first, end - first);
        // Resume at the second character after the end, one character shorter at the end.
        const auto resume = end + length(kEntryEnd) + kSkipped;
        work = substring(work, resume, length(work) - resume);

        const auto g = positionOf(kNameStart, entry);
        const auto e = length(entry);
        std::string address = substring(entry, 0, g - 1);
        std::string name = substring(entry, g + 1, e - g - 1);

        address = kAddressStart + substring(address, 2, length(address) - 1);
        const auto z = positionOf(kPageMark, address);
        const auto m = length(address);
        const auto afterMark = z + length(kPageMark);
        address = substring(address, 0, z - 1) + kRealMark + substring(address, afterMark, m - afterMark);
        entries.push_back({std::move(name), std::move(address)});
    }
    return entries;
}

std::string untilFirstNul(const std::string& body) { return body.substr(0, body.find('\0')); }

}  // namespace kwirl
