// SPDX-License-Identifier: MIT
#pragma once
// The keyboard shortcuts window (F1, or the window's menu): every key of the
// client, with what it does.

#include <wx/dialog.h>

namespace kwirl {

class TShortcutsWindow : public wxDialog {
public:
    explicit TShortcutsWindow(wxWindow* parent);
};

}  // namespace kwirl
