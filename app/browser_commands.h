// SPDX-License-Identifier: MIT
#pragma once
// The browser's own keys and their commands, as players know them from web
// browsers (and F1, the window's list of them), and the steps of the page zoom.

namespace kwirl {

enum class BrowserCommand {
    None,
    Back,
    Forward,
    Reload,
    Escape,
    ZoomIn,
    ZoomOut,
    ZoomReset,
    FullScreen,
    KeyboardShortcuts
};

// The command of a key (a toolkit key code) pressed with `modifiers` (the
// toolkit's modifier flags); None for every key that is not a browser key.
BrowserCommand browserCommandForKey(int keyCode, int modifiers);

// The page at its own size, 100 %.
inline constexpr double kNoZoom = 1.0;
// Page zoom steps as browsers take them, from 50 % to 300 %.
inline constexpr double kZoomSteps[] = {0.5, 0.67, 0.75, 0.8, 0.9, 1.0, 1.1, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0};

// The step after and before `level`; the ends stay where they are.
double zoomedIn(double level);
double zoomedOut(double level);

}  // namespace kwirl
