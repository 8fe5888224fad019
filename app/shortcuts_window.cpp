// SPDX-License-Identifier: MIT
#include "shortcuts_window.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include <string>
#include <vector>

#include "Main.h"
#include "side_window.h"
#include "translate.h"
#include "wx_text.h"

namespace kwirl {

namespace {

struct KeyRow {
    std::string keys;
    std::string action;
};

struct KeySection {
    std::string heading;
    std::vector<KeyRow> rows;
};

std::vector<KeySection> keySections() {
    return {
        {tr("Wherever the keyboard focus is"),
         {
             {tr("Alt+Left, Alt+Right, the mouse's back and forward buttons"), tr("back and forward")},
             {tr("F5, Ctrl+R"), tr("load the page again")},
             {tr("Esc"), tr("stop loading (in full screen: leave it)")},
             {tr("Ctrl+plus, Ctrl+minus, Ctrl+0, Ctrl and the mouse wheel"),
              tr("zoom the page (50 to 300 per cent, kept for the run)")},
             {tr("F11"), tr("full screen for the puzzle: the title bar and borders go, the toolbar stays")},
             {tr("F1"), tr("this list of keys")},
         }},
        {tr("In the library drop-down"),
         {
             {tr("Up, Down, the beginning of an entry typed"), tr("choose a library and open it")},
             {tr("Backspace"), tr("open the chosen library again")},
         }},
    };
}

}  // namespace

TShortcutsWindow::TShortcutsWindow(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, toWx(tr("Keyboard Shortcuts")), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER) {
    constexpr int kGap = 12;
    auto* column = new wxBoxSizer(wxVERTICAL);
    for (const KeySection& section : keySections()) {
        auto* heading = new wxStaticText(this, wxID_ANY, toWx(section.heading));
        heading->SetFont(heading->GetFont().Bold());
        column->Add(heading, wxSizerFlags().Border(wxLEFT | wxRIGHT | wxTOP, kGap));
        auto* table = new wxFlexGridSizer(2, kGap / 3, kGap * 2);
        for (const KeyRow& row : section.rows) {
            table->Add(new wxStaticText(this, wxID_ANY, toWx(row.keys)));
            table->Add(new wxStaticText(this, wxID_ANY, toWx(row.action)));
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
