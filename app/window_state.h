// SPDX-License-Identifier: MIT
#pragma once
// The window's size and state kept from one run to the next: a small key file
// in the client's folder of the user's state folder. What is read back is
// checked against the screen and the window's least size; a damaged or absurd
// file is ignored, never obeyed.

#include <optional>
#include <string>

namespace kwirl {

struct WindowSize {
    int width = 0;
    int height = 0;
};

struct WindowState {
    // The size the window returns to when it is neither maximised nor full screen.
    WindowSize normal;
    bool maximised = false;
    bool fullScreen = false;
};

// $XDG_STATE_HOME/kwirl/window (~/.local/state/kwirl/window).
std::string windowStateFile();

// The state in `text` (a key file), when whole and sensible: a normal size at
// least `least` and at most `screen`.
std::optional<WindowState> parseWindowState(const std::string& text, WindowSize least, WindowSize screen);
std::string formatWindowState(const WindowState& state);

// Reading never fails: a missing or unreadable file is no state. Writing
// throws on failure, with the system's reason.
std::optional<WindowState> readWindowState(const std::string& file, WindowSize least, WindowSize screen);
void writeWindowState(const std::string& file, const WindowState& state);

}  // namespace kwirl
