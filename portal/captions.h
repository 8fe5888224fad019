// SPDX-License-Identifier: MIT
#pragma once
// Every text the window shows of its own: its titles, the drop-down's label,
// Button13's hint, and the three caption sets of the six number buttons (a
// mode is nothing but the captions shown). A page button's caption is its row
// of the toolbar's table, which holds all of that button.

#include <array>
#include <cstdint>
#include <string>

namespace kwirl {

// The window's caption, and the application's title (the task bar, message boxes).
inline constexpr const char* kWindowCaption = "Kwirl Mozalo Laboratory";
inline constexpr const char* kApplicationTitle = "Kwirl Game Client";

// The drop-down's label while the window is made, and from its first show on;
// the toolbar's font is fitted to both.
inline constexpr const char* kLibraryLabelAtStart = "Library:";
inline constexpr const char* kLibraryLabel = "Library";
// Button13's hint: a single blank.
inline constexpr const char* kButton13Hint = " ";

using NumberCaptions = std::array<std::string, 6>;

// Shortcut mode: library shortcuts "1" to "6".
NumberCaptions shortcutCaptions();
// Pieces mode: the piece counts of game levels 1 to 6.
NumberCaptions piecesCaptions();
// Paging mode: "|<", "<<", "<", the page number (pageIndex + 1), ">", ">>".
NumberCaptions pagingCaptions(std::int32_t pageIndex);

// The decimal page number shown for a 0-based page.
std::string pageNumberCaption(std::int32_t pageIndex);

}  // namespace kwirl
