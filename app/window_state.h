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
    // Maximised, or full screen from maximised: leaving full screen maximises.
    bool maximised = false;
    bool fullScreen = false;
    // The page zoom, 1.0 for 100 %, from kLeastZoom to kMostZoom; a value
    // outside, or none, is 100 %.
    double zoom = 1.0;
    // The player's choice to start at the start page rather than where they left off.
    bool startAtStartPage = false;
};

inline constexpr double kLeastZoom = 0.5;
inline constexpr double kMostZoom = 3.0;

// The back/forward list of the portal's last page, as the browser keeps it
// from one run to the next (the window keeps it in the engine's data folder,
// with the login, so that forgetting the one forgets the other): its bytes,
// empty when there are none or they are too many to be a list.
std::string readSession(const std::string& file);
// Throws on failure, with the system's reason.
void writeSession(const std::string& file, const std::string& bytes);

// $XDG_STATE_HOME/kwirl/window (~/.local/state/kwirl/window).
std::string windowStateFile();

// The state in `text` (a key file), when whole and sensible: a normal size of
// at most `screen`, raised to `least` where it is below. The zoom and the start choice may be
// missing (a file of an earlier version): then they are as by default.
std::optional<WindowState> parseWindowState(const std::string& text, WindowSize least, WindowSize screen);
std::string formatWindowState(const WindowState& state);

// Reading never fails: a missing or unreadable file is no state. Writing
// throws on failure, with the system's reason.
std::optional<WindowState> readWindowState(const std::string& file, WindowSize least, WindowSize screen);
void writeWindowState(const std::string& file, const WindowState& state);

}  // namespace kwirl
