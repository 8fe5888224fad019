// SPDX-License-Identifier: MIT
// The window's size: never smaller than its whole toolbar, a normal size to
// return to from maximised or full screen, and both kept from one run to the
// next when the application asks for it.

#include <wx/display.h>

#include <algorithm>

#include "Main.h"
#include "guard.h"
#include "site_of_address.h"

namespace kwirl {

namespace {
// The size the window was designed at, and the least height of a page below the toolbar.
const wxSize kDesignClientSize(664, 613);
constexpr int kLeastPageHeight = 200;
// Room between the last button and the menu, and for the few pixels a window
// manager may take from a size hint.
constexpr int kMenuGap = 6;
}  // namespace

// The toolbar's row of buttons, from the drop-down on, and the menu button after it.
wxSize TFrm::leastClientSize() const {
    int buttonsEnd = 0;
    for (const wxWindow* child : Panel2->GetChildren())
        buttonsEnd = std::max(buttonsEnd, child->GetRect().GetRight() + 1);
    return {Panel2->GetPosition().x + buttonsEnd + kMenuGap + MenuButton->GetSize().x,
            Panel1->GetSize().y + kLeastPageHeight};
}

void TFrm::sizeWindow() {
    SetMinClientSize(leastClientSize());
    normalSize_ = kDesignClientSize;
    normalSize_.IncTo(leastClientSize());
    SetClientSize(normalSize_);
    // The size to return to is the last one the window had while neither
    // maximised nor full screen.
    Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        if (IsShown() && !IsMaximized() && !IsFullScreen() && !IsIconized()) normalSize_ = GetClientSize();
        event.Skip();
    });
}

void TFrm::keepWindowState(const std::string& file, const std::string& session) {
    stateFile_ = file;
    sessionFile_ = session;
    const int display = wxDisplay::GetFromWindow(this);
    const wxRect screen = wxDisplay(display == wxNOT_FOUND ? 0u : static_cast<unsigned>(display)).GetClientArea();
    // A size the window manager gave a few pixels under the least comes back as it was.
    const wxSize least = leastClientSize() - wxSize(kMenuGap, kMenuGap);
    savedState_ = readWindowState(file, {least.x, least.y}, {screen.width, screen.height});
    if (!savedState_) return;
    startAtStartPage_ = savedState_->startAtStartPage;
    CBW->SetZoom(savedState_->zoom);
    normalSize_ = wxSize(savedState_->normal.width, savedState_->normal.height);
    wxSize lowest = GetMinClientSize();
    lowest.DecTo(normalSize_);
    SetMinClientSize(lowest);
    SetClientSize(normalSize_);
    Centre(wxBOTH);
}

// The window as it was left, or maximised the first time.
void TFrm::showAsLeft() {
    const bool maximised = !savedState_ || savedState_->maximised;
    Maximize(maximised);
    if (savedState_ && savedState_->fullScreen) {
        // The window manager may not have maximised the window yet.
        wxFrame::ShowFullScreen(true, wxFULLSCREEN_ALL);
        maximisedUnderFullScreen_ = maximised;
    }
}

// While full screen, the toolkit does not count the window as maximised: what
// it was before is kept, for leaving full screen and for the next run.
bool TFrm::ShowFullScreen(bool show, long style) {
    if (show && !IsFullScreen()) maximisedUnderFullScreen_ = IsMaximized();
    const bool wasFullScreen = IsFullScreen();
    const bool done = wxFrame::ShowFullScreen(show, style);
    if (!show && wasFullScreen && maximisedUnderFullScreen_ && !IsMaximized()) Maximize(true);
    return done;
}

void TFrm::saveWindowState() {
    if (stateFile_.empty()) return;
    swallowFailures("keeping the window's size", [this] {
        writeWindowState(stateFile_, {{normalSize_.x, normalSize_.y},
                                      IsFullScreen() ? maximisedUnderFullScreen_ : IsMaximized(),
                                      IsFullScreen(),
                                      CBW->Zoom(),
                                      startAtStartPage_});
    });
    // A run that showed no page of the portal leaves the list of the run before.
    if (const std::string session = CBW->SessionState(); !sessionFile_.empty() && !session.empty()) {
        swallowFailures("keeping the page left off at", [&] { writeSession(sessionFile_, session); });
    }
}

bool TFrm::resumeWhereLeft() {
    if (sessionFile_.empty() || startAtStartPage_) return false;
    return CBW->RestoreSession(readSession(sessionFile_));
}

// Taken again here, whoever sent it: the running client shows only the portal's pages.
void TFrm::openFromOutside(const std::string& address) {
    swallowFailures("opening a page of the portal given to a later start", [&] {
        if (isPortalSiteAddress(address)) CBW->Navigate(address);
    });
}

void TFrm::chooseStartAtStartPage(bool chosen) {
    startAtStartPage_ = chosen;
    saveWindowState();
}

}  // namespace kwirl
