// SPDX-License-Identifier: MIT
#include "libraries.h"

#include <limits>

#include "address_vocabulary.h"
#include "addresses.h"
#include "progress_preset.h"

namespace kwirl {

const std::array<std::string_view, kBuiltInLibraryCount>& builtInLibraryNames() {
    static constexpr std::array<std::string_view, kBuiltInLibraryCount> names = {
        "0:Zededo zu Dozo Dozariv(Free)",    "1:Big animal puzzle library", "2:Big fantastic puzzle library",
        "3:Big life puzzle library",         "4:Big mix puzzle library",    "5:CRAZY Fantasy ART library (3651 puzzle)",
        "6:Super Crazy Fantasy Art library",
    };
    return names;
}

const std::array<SelectorEntry, kBuiltInLibraryCount>& builtInSelectorTable() {
    static constexpr std::array<SelectorEntry, kBuiltInLibraryCount> table = {{
        {vocab::kPuzzle1, true, false, true},
        {vocab::kPuzzle3, true, false, true},
        {vocab::kPazzle, true, true, true},
        {vocab::kPuzzle2, true, false, true},
        {vocab::kPuzzle4, true, false, true},
        {vocab::kPuzzle10, true, false, false},
        {vocab::kPuzzle5, false, false, true},
    }};
    return table;
}

std::string selectorAddress(const SelectorEntry& entry) {
    const std::string page = pageAddress(entry.pageName);
    return entry.listView ? appendParameter(page, vocab::kOpKey, std::string(vocab::kListView)) : page;
}

int catalogueEntryOfBuiltIn(int position, std::span<const std::string> catalogueRefs) {
    if (position < 0 || position >= kBuiltInLibraryCount) return -1;
    const std::string parameter = std::string(vocab::kNameKey) + "=" +
                                  std::string(builtInSelectorTable()[static_cast<std::size_t>(position)].pageName);
    for (std::size_t entry = 0; entry < catalogueRefs.size(); ++entry) {
        const std::string& address = catalogueRefs[entry];
        for (auto at = address.find(parameter); at != std::string::npos; at = address.find(parameter, at + 1)) {
            // The whole parameter: "name=puzzle1" is not "name=puzzle10" nor "xname=puzzle1".
            const auto end = at + parameter.size();
            const bool begins = at > 0 && (address[at - 1] == '?' || address[at - 1] == '&');
            const bool ends = end == address.size() || address[end] == '&';
            if (begins && ends) return static_cast<int>(entry);
        }
    }
    return -1;
}

std::string_view builtInLibraryName(std::string_view pageName) {
    const auto& table = builtInSelectorTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].pageName != pageName) continue;
        const std::string_view item = builtInLibraryNames()[i];
        const auto colon = item.find(':');
        return colon == std::string_view::npos ? item : item.substr(colon + 1);
    }
    return {};
}

std::int32_t stepPage(PageStep step, std::int32_t pageIndex) {
    // Forward steps saturate at the 32-bit limit instead of overflowing.
    const auto forward = [](std::int32_t page, std::int32_t by) {
        return page > std::numeric_limits<std::int32_t>::max() - by ? std::numeric_limits<std::int32_t>::max()
                                                                    : page + by;
    };
    const auto back = [](std::int32_t page, std::int32_t by) {
        if (page > 0) page -= by;
        return page < 0 ? 0 : page;
    };
    switch (step) {
        case PageStep::First: return 0;
        case PageStep::BackTen: return back(pageIndex, kLongPageStep);
        case PageStep::BackOne: return back(pageIndex, 1);
        case PageStep::Same: return pageIndex;
        case PageStep::ForwardOne: return forward(pageIndex, 1);
        case PageStep::ForwardTen: return forward(pageIndex, kLongPageStep);
    }
    return pageIndex;
}

const std::array<NumberButtonRule, 6>& numberButtonRules() {
    static constexpr std::array<NumberButtonRule, 6> rules = {{
        {kClickPresetDivisor, "1", true, PageStep::First, false, vocab::kPazzle},
        {kShortPresetDivisor, "2", false, PageStep::BackTen, false, vocab::kPuzzle2},
        {kClickPresetDivisor, "3", true, PageStep::BackOne, false, vocab::kPuzzle3},
        {kClickPresetDivisor, "4", true, PageStep::Same, false, vocab::kPuzzle4},
        {kClickPresetDivisor, "5", false, PageStep::ForwardOne, true, vocab::kPuzzle10},
        {kClickPresetDivisor, "6", false, PageStep::ForwardTen, false, vocab::kPuzzle5},
    }};
    return rules;
}

}  // namespace kwirl
