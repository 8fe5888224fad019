// SPDX-License-Identifier: MIT
#pragma once
// The toolbar keeps the small fixed geometry of its controls, so the desktop
// theme's roomy padding and large default font have to give way.

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

class wxWindow;

namespace kwirl {

// Installs, once per process, a style that strips the theme's padding and
// minimum sizes from buttons and drop-downs inside windows marked as toolbars.
void installCompactToolbarStyle();
void markAsToolbar(wxWindow* panel);

struct CaptionFit {
    wxWindow* control;
    std::vector<std::string> captions;  // every caption the control may show
};
// Gives `root` (and so its children) the largest font, 8 points at most, in
// which every caption fits its control's width.
void fitToolbarFont(wxWindow* root, std::initializer_list<CaptionFit> controls);

}  // namespace kwirl
