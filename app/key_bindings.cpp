// SPDX-License-Identifier: MIT
#include <algorithm>

#include "Main.h"
#include "browser_commands.h"
#include "guard.h"

namespace kwirl {

// The keys of a web browser, wherever the keyboard focus is: in the toolbar
// they come before the control's own, from the page only when the page did
// not use them.
void TFrm::onBrowserKey(wxKeyEvent& event) {
    const BrowserCommand command = browserCommandForKey(event.GetKeyCode(), event.GetModifiers());
    if (command == BrowserCommand::None) {
        event.Skip();
        return;
    }
    runBrowserCommand(command);
}

// The mouse's back and forward buttons, over the page or the toolbar.
void TFrm::onHistoryButton(wxMouseEvent& event) {
    runBrowserCommand(event.GetEventType() == wxEVT_AUX1_DOWN ? BrowserCommand::Back : BrowserCommand::Forward);
}

// The wheel with Ctrl held zooms the page, one step for each notch.
void TFrm::onZoomWheel(wxMouseEvent& event) {
    if (!event.ControlDown() || event.GetWheelAxis() != wxMOUSE_WHEEL_VERTICAL) {
        event.Skip();
        return;
    }
    const int notch = std::max(1, event.GetWheelDelta());
    wheelTurned_ += event.GetWheelRotation();
    for (; wheelTurned_ >= notch; wheelTurned_ -= notch) runBrowserCommand(BrowserCommand::ZoomIn);
    for (; wheelTurned_ <= -notch; wheelTurned_ += notch) runBrowserCommand(BrowserCommand::ZoomOut);
}

void TFrm::runBrowserCommand(BrowserCommand command) {
    swallowFailures("running a browser key's command", [&] {
        switch (command) {
            case BrowserCommand::Back: CBW->GoBack(); break;
            case BrowserCommand::Forward: CBW->GoForward(); break;
            case BrowserCommand::Reload: CBW->Reload(); break;
            case BrowserCommand::Escape:
                if (IsFullScreen()) {
                    ShowFullScreen(false);
                } else {
                    CBW->Stop();  // the view then tells of the load given up, and the window goes back
                }
                break;
            case BrowserCommand::ZoomIn: CBW->SetZoom(zoomedIn(CBW->Zoom())); break;
            case BrowserCommand::ZoomOut: CBW->SetZoom(zoomedOut(CBW->Zoom())); break;
            case BrowserCommand::ZoomReset: CBW->SetZoom(kNoZoom); break;
            // The toolbar stays: only the title bar and the borders go.
            case BrowserCommand::FullScreen: ShowFullScreen(!IsFullScreen(), wxFULLSCREEN_ALL); break;
            // Opened once the key's own handling has ended, not inside it.
            case BrowserCommand::KeyboardShortcuts: CallAfter([this] { showKeyboardShortcuts(); }); break;
            case BrowserCommand::None:
            case BrowserCommand::ChooseLibrary:
            case BrowserCommand::OpenLibraryAgain: break;
        }
    });
}

}  // namespace kwirl
