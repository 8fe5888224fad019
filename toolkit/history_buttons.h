// SPDX-License-Identifier: MIT
#pragma once
// The mouse's back and forward buttons over a control whose native parts take
// the pointer for themselves (the drop-down's button, its open list, a popup
// menu): the toolkit raises no event of its own there, and an open list or
// menu would take their release as a choice of the entry under the pointer.

class wxMenu;
class wxWindow;

namespace kwirl {

// Raises the mouse's back and forward buttons over `control` (over its native
// widget `widget`, when that is not the control's own handle) as the
// control's wxEVT_AUX1_DOWN and wxEVT_AUX2_DOWN; what is under the pointer
// never sees them. Over a drop-down's open list they close the list first.
void raiseHistoryButtons(wxWindow* control, void* widget = nullptr);

// The same over `menu` while it pops up from `control`: the menu closes with
// nothing chosen, and the control raises the event once it has closed.
void raiseHistoryButtonsOverMenu(wxMenu& menu, wxWindow* control);

}  // namespace kwirl
