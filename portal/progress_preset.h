// SPDX-License-Identifier: MIT
#pragma once
// The progress preset of a click: the left progress bar at a maximum of 100
// and a position of 100 divided by 12 (8), or by 5 (20) for one number button,
// so that the click shows at once, before the page's own progress arrives.

namespace kwirl {

inline constexpr int kPresetMax = 100;
inline constexpr int kClickPresetDivisor = 12;
inline constexpr int kShortPresetDivisor = 5;

}  // namespace kwirl
