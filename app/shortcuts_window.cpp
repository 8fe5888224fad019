// SPDX-License-Identifier: MIT
#include "shortcuts_window.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "Main.h"
#include "key_table.h"
#include "side_window.h"
#include "translate.h"
#include "wx_text.h"

namespace kwirl {

TShortcutsWindow::TShortcutsWindow(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, toWx(tr("Keyboard Shortcuts")), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER) {
    constexpr int kGap = 12;
    auto* column = new wxBoxSizer(wxVERTICAL);
    for (const KeyScope scope : kKeyScopes) {
        auto* heading = new wxStaticText(this, wxID_ANY, toWx(tr(keyScopeHeading(scope))));
        heading->SetFont(heading->GetFont().Bold());
        column->Add(heading, wxSizerFlags().Border(wxLEFT | wxRIGHT | wxTOP, kGap));
        auto* table = new wxFlexGridSizer(2, kGap / 3, kGap * 2);
        for (const KeyLine& line : keyLines()) {
            if (line.scope != scope) continue;
            table->Add(new wxStaticText(this, wxID_ANY, toWx(tr(line.keys))));
            table->Add(new wxStaticText(this, wxID_ANY, toWx(tr(line.action))));
        }
        column->Add(table, wxSizerFlags().Border(wxALL, kGap));
    }
    endWithCloseButton(this, column, kGap);
}

// One list at a time, beside the main window: F1 again brings it forward.
void TFrm::showKeyboardShortcuts() {
    static wxWeakRef<wxDialog> open;
    showOnlyOne(open, [this] { return new TShortcutsWindow(this); });
}

}  // namespace kwirl
