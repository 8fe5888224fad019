// SPDX-License-Identifier: MIT
#pragma once
// The toolbar keeps the small fixed geometry of its controls, so the desktop
// theme's roomy padding has to give way. The toolkit offers no way to say so:
// this is the one place that styles its native widgets.

class wxWindow;

namespace kwirl {

// Installs, once per process, a style that strips the theme's padding and
// minimum sizes from buttons and drop-downs inside windows marked as toolbars,
// and lets vertical progress bars fill their width.
void installCompactToolbarStyle();
// Shows the theme's icon of that name on `button`, drawn in the button's text
// colour when it is a symbolic one; false, nothing changed, when the theme has
// no such icon.
bool showThemeIcon(wxWindow* button, const char* iconName);
// Marks `panel` as a toolbar for that style.
void markAsToolbar(wxWindow* panel);

}  // namespace kwirl
