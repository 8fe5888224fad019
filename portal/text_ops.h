// SPDX-License-Identifier: MIT
#pragma once
// The three text operations that carry all address and catalogue handling.
// Positions are 1-based, as the portal's address rules are written.

#include <cstdint>
#include <string>

namespace kwirl {

// 1-based position of the first occurrence of `sub` in `text` (case-sensitive), 0 when absent.
// An empty `sub` is never found.
std::int64_t positionOf(const std::string& sub, const std::string& text);

// At most `count` characters of `text` from the 1-based `start`, clipped at the end of the text.
// Empty when the text is shorter than `start` or `count` is below 1; a start below 1 counts as 1.
std::string substring(const std::string& text, std::int64_t start, std::int64_t count);

// True when `text` holds `sub` anywhere.
inline bool holds(const std::string& text, const std::string& sub) { return positionOf(sub, text) > 0; }

}  // namespace kwirl
