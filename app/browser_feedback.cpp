// SPDX-License-Identifier: MIT
#include <algorithm>
#include <limits>

#include "Main.h"
#include "guard.h"

namespace kwirl {

namespace {
// How much faster than the load each bar fills.
constexpr int kLeftBarSpeed = 10;
constexpr int kRightBarSpeed = 5;

// Progress times a factor, held at the ends of the 32-bit range rather than overflowing.
std::int32_t scaled(std::int32_t progress, int factor) {
    const auto value = static_cast<std::int64_t>(progress) * factor;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}
}  // namespace

// Both bars follow the load against the same maximum, the left one ten times
// and the right one five times as fast.
void TFrm::CBWProgressChange(TCppWebBrowser*, std::int32_t Progress, std::int32_t ProgressMax) {
    swallowFailures("showing a load's progress", [&] {
        CBW->Window()->Refresh();
        CBW->Window()->Update();
        PB->SetMin(0);
        PB->SetMax(ProgressMax);
        PB->SetPosition(scaled(Progress, kLeftBarSpeed));
        PBC->SetMin(0);
        PBC->SetMax(ProgressMax);
        PBC->SetPosition(scaled(Progress, kRightBarSpeed));
        if (Progress < 0) rememberShownPage();  // the load has ended
    });
}

// A page that asks for a new window gets this browser, so it opens here.
void TFrm::CBWNewWindow2(TCppWebBrowser* Sender, TCppWebBrowser*& ppDisp, std::int16_t& Cancel) {
    swallowFailures("opening a new window in this browser", [&] { ppDisp = Sender->Application(); });
    Cancel = 0;
}

}  // namespace kwirl
