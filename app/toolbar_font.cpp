// SPDX-License-Identifier: MIT
#include "toolbar_font.h"

#include <wx/button.h>
#include <wx/dcscreen.h>
#include <wx/settings.h>
#include <wx/window.h>

#include <algorithm>

#include "wx_text.h"

namespace kwirl {

namespace {
constexpr double kLargestPoints = 8.0;
constexpr double kSmallestPoints = 5.0;
constexpr int kButtonPadding = 4;  // border and padding left and right together
}  // namespace

void fitToolbarFont(wxWindow* root, std::span<const CaptionFit> controls) {
    wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    wxScreenDC dc;
    const auto fits = [&] {
        dc.SetFont(font);
        for (const auto& fit : controls) {
            const bool isButton = fit.control->IsKindOf(wxCLASSINFO(wxButton));
            const int room = fit.control->GetSize().x - (isButton ? kButtonPadding : 0);
            for (const auto& caption : fit.captions) {
                if (dc.GetTextExtent(toWx(caption)).x > room) return false;
            }
        }
        return true;
    };
    double points = std::min(kLargestPoints, font.GetFractionalPointSize());
    font.SetFractionalPointSize(points);
    while (points > kSmallestPoints && !fits()) {
        points -= 0.5;
        font.SetFractionalPointSize(points);
    }
    root->SetFont(font);
    for (const auto& fit : controls) fit.control->SetFont(font);
}

}  // namespace kwirl
