// SPDX-License-Identifier: MIT
#pragma once
// The steps of the page zoom, as players know them from web browsers; the
// keys and their commands are the key table's (key_table.h).

#include "key_table.h"

namespace kwirl {

// The page at its own size, 100 %.
inline constexpr double kNoZoom = 1.0;
// Page zoom steps as browsers take them, from 50 % to 300 %.
inline constexpr double kZoomSteps[] = {0.5, 0.67, 0.75, 0.8, 0.9, 1.0, 1.1, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0};

// The step after and before `level`; the ends stay where they are.
double zoomedIn(double level);
double zoomedOut(double level);

}  // namespace kwirl
