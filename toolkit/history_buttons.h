// SPDX-License-Identifier: MIT
#pragma once
// The mouse's back and forward buttons over a control whose native parts take
// the pointer for themselves (the drop-down's button): the toolkit raises no
// event of its own there.

class wxWindow;

namespace kwirl {

// Raises the mouse's back and forward buttons over `control` (over its native
// widget `widget`, when that is not the control's own handle) as the
// control's wxEVT_AUX1_DOWN and wxEVT_AUX2_DOWN; what is under the pointer
// never sees them.
void raiseHistoryButtons(wxWindow* control, void* widget = nullptr);

}  // namespace kwirl
