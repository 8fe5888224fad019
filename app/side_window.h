// SPDX-License-Identifier: MIT
#pragma once
// A window beside the main window (not modal) ends in a Close button, and goes
// when it is closed (by that button, Esc or the title bar) instead of hiding
// as dialogs do.

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/weakref.h>

#include "translate.h"
#include "wx_text.h"

namespace kwirl {

inline void endWithCloseButton(wxDialog* window, wxBoxSizer* column, int border) {
    auto* close = new wxButton(window, wxID_CLOSE, toWx(tr("Close")));
    close->SetDefault();
    window->SetEscapeId(wxID_CLOSE);
    close->Bind(wxEVT_BUTTON, [window](wxCommandEvent&) { window->Close(); });
    window->Bind(wxEVT_CLOSE_WINDOW, [window](wxCloseEvent&) { window->Destroy(); });
    column->Add(close, wxSizerFlags().Right().Border(wxALL, border));
    window->SetSizerAndFit(column);
    window->CentreOnParent();
}

// One window of a kind at a time: asked for again, the open one comes forward
// instead of a second being made.
template <class Make>
void showOnlyOne(wxWeakRef<wxDialog>& open, Make make) {
    if (open) {
        open->Raise();
        return;
    }
    open = make();
    open->Show();
}

}  // namespace kwirl
