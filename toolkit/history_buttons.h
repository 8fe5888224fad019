// SPDX-License-Identifier: MIT
#pragma once
// The mouse's back and forward buttons over a control whose native parts take
// the pointer for themselves (the drop-down's button): the toolkit raises no
// event of its own there.

class wxWindow;

namespace kwirl {

// Raises the mouse's back and forward buttons over `control` as its own
// wxEVT_AUX1_DOWN and wxEVT_AUX2_DOWN.
void raiseHistoryButtons(wxWindow* control);

}  // namespace kwirl
