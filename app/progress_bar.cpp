// SPDX-License-Identifier: MIT
#include "progress_bar.h"

namespace kwirl {

namespace {
// The gauge's own range: fine enough for any bar height.
constexpr std::int32_t kGaugeScale = 1000;
}  // namespace

TProgressBar::TProgressBar(wxWindow* parent, const wxPoint& pos, const wxSize& size)
    : wxGauge(parent, wxID_ANY, kGaugeScale, pos, size, wxGA_VERTICAL) {
    redraw();
}

void TProgressBar::SetMin(std::int32_t value) {
    range_.SetMin(value);
    redraw();
}

void TProgressBar::SetMax(std::int32_t value) {
    range_.SetMax(value);
    redraw();
}

void TProgressBar::SetPosition(std::int32_t value) {
    range_.SetPosition(value);
    redraw();
}

void TProgressBar::redraw() { SetValue(range_.filled(kGaugeScale)); }

}  // namespace kwirl
