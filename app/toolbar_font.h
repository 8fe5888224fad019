// SPDX-License-Identifier: MIT
#pragma once
// The toolbar keeps the small fixed geometry of its controls, so the desktop
// theme's large default font has to give way to one in which every caption fits.

#include <span>
#include <string>
#include <vector>

class wxWindow;

namespace kwirl {

struct CaptionFit {
    wxWindow* control;
    std::vector<std::string> captions;  // every caption the control may show
};
// Gives `root` (and so its children) the largest font, 8 points at most, in
// which every caption fits its control's width.
void fitToolbarFont(wxWindow* root, std::span<const CaptionFit> controls);

}  // namespace kwirl
