// SPDX-License-Identifier: MIT
// The window's menu, as GNOME applications have it: a button at the end of
// the toolbar with the choice of where to start, the keyboard shortcuts and
// the About window.

#include <wx/menu.h>

#include <algorithm>

#include "Main.h"
#include "accessible.h"
#include "captions.h"
#include "history_buttons.h"
#include "nested_wait.h"
#include "toolbar_style.h"
#include "translate.h"
#include "wx_text.h"

namespace kwirl {

namespace {
constexpr int kMenuButtonWidth = 26;
}  // namespace

void TFrm::makeWindowMenu() {
    const wxSize size(kMenuButtonWidth, Panel1->GetSize().y);
    const wxPoint place(std::max(0, Panel1->GetSize().x - kMenuButtonWidth), 0);
    MenuButton = new wxButton(Panel1, wxID_ANY, wxString(), place, size, wxBU_EXACTFIT);
    if (!showThemeIcon(MenuButton, "open-menu-symbolic")) {
        MenuButton->SetLabel(wxString::FromUTF8("\u2630"));  // the menu's sign where the theme has no icon
    }
    MenuButton->SetToolTip(toWx(tr("Main Menu")));
    setAccessibleText(MenuButton, tr("Main Menu"),
                      tr("Keyboard shortcuts, and the About window with the version "
                         "and a way to forget the login"));
    // At the toolbar's right end, whatever the window's width; the controls
    // before it keep their places. The buttons' panel, empty at its right end,
    // gives way to the menu there, or its own window would hide the button;
    // it never gets narrower than the buttons in it.
    const int panelWidth = Panel2->GetSize().x;
    int buttonsEnd = 0;
    for (const wxWindow* child : Panel2->GetChildren())
        buttonsEnd = std::max(buttonsEnd, child->GetRect().GetRight() + 1);
    Panel1->Bind(wxEVT_SIZE, [this, panelWidth, buttonsEnd](wxSizeEvent& event) {
        const int left = std::max(0, event.GetSize().x - kMenuButtonWidth);
        MenuButton->SetPosition(wxPoint(left, 0));
        const int width = std::clamp(left - Panel2->GetPosition().x, buttonsEnd, panelWidth);
        if (width != Panel2->GetSize().x) Panel2->SetSize(width, Panel2->GetSize().y);
        event.Skip();
    });
    MenuButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        enum { kShortcuts = 1, kAbout, kStartPage };
        wxMenu menu;
        menu.AppendCheckItem(kStartPage, toWx(tr("Start at the portal's start page")))->Check(startAtStartPage_);
        menu.AppendSeparator();
        menu.Append(kShortcuts, toWx(tr("Keyboard Shortcuts")));
        menu.Append(kAbout, toWx(fillIn(tr("About %s"), std::string(kApplicationTitle))));
        raiseHistoryButtonsOverMenu(menu, MenuButton);
        // The choice is acted on once the menu has closed.
        int chosen = wxID_NONE;
        waitInside(
            [&] { chosen = MenuButton->GetPopupMenuSelectionFromUser(menu, wxPoint(0, MenuButton->GetSize().y)); });
        if (destroyed_) return;
        if (chosen == kStartPage) chooseStartAtStartPage(!startAtStartPage_);
        if (chosen == kShortcuts) showKeyboardShortcuts();
        if (chosen == kAbout) showAbout();
    });
}

}  // namespace kwirl
