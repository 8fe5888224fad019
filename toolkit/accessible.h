// SPDX-License-Identifier: MIT
#pragma once
// What assistive technologies (screen readers, voice control) are told about a
// control: its name and what it does. The toolkit offers no way to say so on
// this platform, so it is set on the native widget's accessible object.

#include <string>

class wxWindow;

namespace kwirl {

// Sets the control's accessible name and description; unchanged texts are not
// set again, so that a screen reader does not announce them anew.
void setAccessibleText(wxWindow* control, const std::string& name, const std::string& description);

}  // namespace kwirl
