// SPDX-License-Identifier: MIT
#pragma once
// A vertical progress bar with Min, Max and Position, drawn by a toolkit gauge.

#include <wx/gauge.h>

#include "progress_range.h"

namespace kwirl {

class TProgressBar : public wxGauge {
public:
    TProgressBar(wxWindow* parent, const wxPoint& pos, const wxSize& size);

    std::int32_t Min() const { return range_.Min(); }
    std::int32_t Max() const { return range_.Max(); }
    std::int32_t Position() const { return range_.Position(); }
    void SetMin(std::int32_t value);
    void SetMax(std::int32_t value);
    void SetPosition(std::int32_t value);

private:
    void redraw();
    ProgressRange range_;
};

}  // namespace kwirl
