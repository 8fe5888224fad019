// SPDX-License-Identifier: MIT
#include "libraries.h"

#include <limits>

#include "address_vocabulary.h"
#include "addresses.h"
#include "progress_preset.h"

namespace kwirl {

const std::array<BuiltInLibrary, kBuiltInLibraryCount>& builtInLibraries() {
    static constexpr std::array<BuiltInLibrary, kBuiltInLibraryCount> libraries = {{
        {"Zededo zu Dozo Dozariv(Free)", {vocab::kPuzzle1, true, false, true}},
        {"Big animal puzzle library", {vocab::kPuzzle3, true, false, true}},
        {"Big fantastic puzzle library", {vocab::kPazzle, true, true, true}},
        {"Big life puzzle library", {vocab::kPuzzle2, true, false, true}},
        {"Big mix puzzle library", {vocab::kPuzzle4, true, false, true}},
        {"CRAZY Fantasy ART library (3651 puzzle)", {vocab::kPuzzle10, true, false, false}},
        {"Super Crazy Fantasy Art library", {vocab::kPuzzle5, false, false, true}},
    }};
    return libraries;
}

std::array<std::string, kBuiltInLibraryCount> builtInLibraryNames() {
    std::array<std::string, kBuiltInLibraryCount> names;
    for (std::size_t i = 0; i < names.size(); ++i) {
        names[i] = std::to_string(i) + ":" + std::string(builtInLibraries()[i].name);
    }
    return names;
}

std::string selectorAddress(const SelectorEntry& entry) {
    const std::string page = pageAddress(entry.pageName);
    return entry.listView ? appendParameter(page, vocab::kOpKey, std::string(vocab::kListView)) : page;
}

int catalogueEntryOfBuiltIn(int position, std::span<const std::string> catalogueRefs) {
    if (position < 0 || position >= kBuiltInLibraryCount) return -1;
    const std::string parameter = std::string(vocab::kNameKey) + "=" +
                                  std::string(builtInLibraries()[static_cast<std::size_t>(position)].selector.pageName);
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
    for (const BuiltInLibrary& library : builtInLibraries()) {
        if (library.selector.pageName == pageName) return library.name;
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
