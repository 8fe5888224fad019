// SPDX-License-Identifier: MIT
#pragma once
// The built-in library list and what the drop-down and the number buttons
// open for each position and button when no catalogue was loaded.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kwirl {

inline constexpr int kBuiltInLibraryCount = 7;

// What the drop-down opens at one position without a catalogue.
struct SelectorEntry {
    std::string_view pageName;  // the library's page
    bool listView;              // opened as its list view ("&op=pz6m")
    bool stopFirst;             // stop the browser before navigating
    bool resetPageIndex;        // set PageIndex to 0 after navigating
};

// One library of the built-in list: its name, and what the drop-down opens for it.
struct BuiltInLibrary {
    std::string_view name;  // as the drop-down shows it after its number and colon
    SelectorEntry selector;
};
// The built-in list, in the drop-down's order.
const std::array<BuiltInLibrary, kBuiltInLibraryCount>& builtInLibraries();

// The drop-down's entries without a catalogue, in order: each library's
// number (from 0), a colon and its name. The window starts with them too; when
// it is first shown it puts the catalogue in their place if there is one.
std::array<std::string, kBuiltInLibraryCount> builtInLibraryNames();
// The library address of an entry, before the page offset is appended.
std::string selectorAddress(const SelectorEntry& entry);
// The built-in list's name of the library on page `pageName`; empty for a
// page the list does not hold.
std::string_view builtInLibraryName(std::string_view pageName);

// The first of the catalogue's addresses that opens the library at `position`
// of the built-in list (its page named by the address's name parameter), or -1.
int catalogueEntryOfBuiltIn(int position, std::span<const std::string> catalogueRefs);

// How a number button moves through a paged list.
enum class PageStep { First, BackTen, BackOne, Same, ForwardOne, ForwardTen };
// How many pages "<<" and ">>" move at once.
inline constexpr std::int32_t kLongPageStep = 10;
// The page a step leads to from `pageIndex`; backward steps stop at 0, forward steps have no upper bound.
std::int32_t stepPage(PageStep step, std::int32_t pageIndex);

// One number button's values.
struct NumberButtonRule {
    int presetDivisor;          // progress preset: 100 divided by this
    std::string_view level;     // value of "&level=" on a game address
    bool stopBeforeLevel;       // stop the browser before a level change
    PageStep pageStep;          // paging on a list address
    bool pagesWideLists;        // the paging test is the wide one (also "=pz6m"/"=pz1d")
    std::string_view shortcut;  // library page opened on a neutral address without a catalogue
};
// Rules of Button7, Button10, Button11, Button12, Button13 and Button14, in that order.
const std::array<NumberButtonRule, 6>& numberButtonRules();

}  // namespace kwirl
