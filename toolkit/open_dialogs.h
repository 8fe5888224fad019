// SPDX-License-Identifier: MIT
#pragma once
// Dialogs that wait for an answer, and open menus, hold the main loop in a
// loop of their own, where a window that is closed is not destroyed until they end.

namespace kwirl {

// Answers every open modal dialog as its close button would (a file not
// chosen, a message seen) and closes every open menu as Esc would (nothing
// chosen), so that the loops they run end.
void closeOpenDialogs();

}  // namespace kwirl
