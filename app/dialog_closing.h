// SPDX-License-Identifier: MIT
#pragma once
// A window beside the main window (not modal) goes when it is closed, by its
// Close button, Esc or the title bar, instead of hiding as dialogs do.

#include <wx/button.h>
#include <wx/dialog.h>

namespace kwirl {

inline void closeWithButton(wxDialog* window, wxButton* close) {
    close->Bind(wxEVT_BUTTON, [window](wxCommandEvent&) { window->Close(); });
    window->Bind(wxEVT_CLOSE_WINDOW, [window](wxCloseEvent&) { window->Destroy(); });
}

}  // namespace kwirl
