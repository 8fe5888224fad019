// SPDX-License-Identifier: MIT
#pragma once
// The three caption sets of the six number buttons. A mode is nothing but the
// captions shown.

#include <array>
#include <cstdint>
#include <string>

namespace kwirl {

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
