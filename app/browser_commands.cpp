// SPDX-License-Identifier: MIT
#include "browser_commands.h"

#include <wx/defs.h>

#include <iterator>

namespace kwirl {

namespace {
// Zoom levels that differ by less than this are the same step.
constexpr double kSameStep = 0.005;
}  // namespace

BrowserCommand browserCommandForKey(int keyCode, int modifiers) {
    // Shift is left out: on many keyboards "+" is typed with it.
    const int held = modifiers & ~wxMOD_SHIFT;
    switch (held) {
        case wxMOD_NONE:
            switch (keyCode) {
                case WXK_F5: return BrowserCommand::Reload;
                case WXK_F11: return BrowserCommand::FullScreen;
                case WXK_F1: return BrowserCommand::KeyboardShortcuts;
                case WXK_ESCAPE: return BrowserCommand::Escape;
                case WXK_BROWSER_BACK: return BrowserCommand::Back;
                case WXK_BROWSER_FORWARD: return BrowserCommand::Forward;
                case WXK_BROWSER_REFRESH: return BrowserCommand::Reload;
                case WXK_BROWSER_STOP: return BrowserCommand::Escape;
                default: return BrowserCommand::None;
            }
        case wxMOD_ALT:
            switch (keyCode) {
                case WXK_LEFT:
                case WXK_NUMPAD_LEFT: return BrowserCommand::Back;
                case WXK_RIGHT:
                case WXK_NUMPAD_RIGHT: return BrowserCommand::Forward;
                default: return BrowserCommand::None;
            }
        case wxMOD_CONTROL:
            switch (keyCode) {
                case 'R': return BrowserCommand::Reload;
                case '+':
                case '=':
                case WXK_NUMPAD_ADD: return BrowserCommand::ZoomIn;
                case '-':
                case WXK_NUMPAD_SUBTRACT: return BrowserCommand::ZoomOut;
                case '0':
                case WXK_NUMPAD0: return BrowserCommand::ZoomReset;
                default: return BrowserCommand::None;
            }
        default: return BrowserCommand::None;
    }
}

double zoomedIn(double level) {
    for (const double step : kZoomSteps) {
        if (step > level + kSameStep) return step;
    }
    return kZoomSteps[std::size(kZoomSteps) - 1];
}

double zoomedOut(double level) {
    for (auto step = std::rbegin(kZoomSteps); step != std::rend(kZoomSteps); ++step) {
        if (*step < level - kSameStep) return *step;
    }
    return kZoomSteps[0];
}

}  // namespace kwirl
