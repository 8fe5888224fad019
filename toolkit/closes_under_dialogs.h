// SPDX-License-Identifier: MIT
#pragma once
// A modal dialog holds every other window's events back, so the toolkit drops
// a close the window manager asks of the window behind it (its title bar's
// button, its menu): the window would stay once the dialog went. While any
// modal dialog is open, such a close of `window` calls `onClose` instead.

#include <functional>

class wxTopLevelWindow;

namespace kwirl {

// Holds for the rest of the run; a later call takes the place of this one.
void passClosesUnderDialogs(wxTopLevelWindow* window, std::function<void()> onClose);

}  // namespace kwirl
