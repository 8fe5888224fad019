// SPDX-License-Identifier: MIT
#include "browser_commands.h"

#include <iterator>

namespace kwirl {

namespace {
// Zoom levels that differ by less than this are the same step.
constexpr double kSameStep = 0.005;
}  // namespace

double zoomedIn(double level) {
    for (const double step : kZoomSteps) {
        if (step > level + kSameStep) return step;
    }
    return kZoomSteps[std::size(kZoomSteps) - 1];
}

double zoomedOut(double level) {
    for (auto step = std::rbegin(kZoomSteps); step != std::rend(kZoomSteps); ++step) {
        if (*step < level - kSameStep) return *step;
    }
    return kZoomSteps[0];
}

}  // namespace kwirl
