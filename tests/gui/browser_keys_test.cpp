// SPDX-License-Identifier: MIT
// The browser keys players know, and the zoom steps they walk.

#include <gtest/gtest.h>
#include <wx/defs.h>

#include "browser_commands.h"

namespace kwirl {
namespace {

TEST(BrowserKeys, EachKeyHasItsCommandAndOtherKeysNone) {
    using C = BrowserCommand;
    const struct {
        int key, modifiers;
        BrowserCommand command;
    } cases[] = {
        {WXK_LEFT, wxMOD_ALT, C::Back},
        {WXK_RIGHT, wxMOD_ALT, C::Forward},
        {WXK_BROWSER_BACK, wxMOD_NONE, C::Back},
        {WXK_F5, wxMOD_NONE, C::Reload},
        {'R', wxMOD_CONTROL, C::Reload},
        {WXK_ESCAPE, wxMOD_NONE, C::Escape},
        {'=', wxMOD_CONTROL | wxMOD_SHIFT, C::ZoomIn},  // Ctrl and "+" on a keyboard where "+" needs Shift
        {'+', wxMOD_CONTROL, C::ZoomIn},
        {WXK_NUMPAD_ADD, wxMOD_CONTROL, C::ZoomIn},
        {'-', wxMOD_CONTROL, C::ZoomOut},
        {'0', wxMOD_CONTROL, C::ZoomReset},
        {WXK_F11, wxMOD_NONE, C::FullScreen},
        {WXK_F1, wxMOD_NONE, C::KeyboardShortcuts},
        {WXK_F1, wxMOD_CONTROL, C::None},  // the toolkit's own help keys stay its own
        // Keys that belong to pages and controls.
        {WXK_LEFT, wxMOD_NONE, C::None},
        {WXK_LEFT, wxMOD_ALT | wxMOD_CONTROL, C::None},
        {WXK_BACK, wxMOD_NONE, C::None},
        {WXK_PAGEDOWN, wxMOD_NONE, C::None},
        {WXK_SPACE, wxMOD_NONE, C::None},
        {'R', wxMOD_NONE, C::None},
        {'R', wxMOD_ALT, C::None},
        {'0', wxMOD_NONE, C::None},
        {WXK_F5, wxMOD_ALT, C::None},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(browserCommandForKey(c.key, c.modifiers), c.command) << c.key << " with " << c.modifiers;
    }
}

TEST(BrowserKeys, ZoomWalksTheStepsAndStopsAtTheEnds) {
    double level = 1.0;
    std::vector<double> in;
    for (int i = 0; i < 8; ++i) in.push_back(level = zoomedIn(level));
    EXPECT_EQ(in, (std::vector<double>{1.1, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0, 3.0}));
    std::vector<double> out;
    for (int i = 0; i < 14; ++i) out.push_back(level = zoomedOut(level));
    EXPECT_EQ(out, (std::vector<double>{2.5, 2.0, 1.75, 1.5, 1.25, 1.1, 1.0, 0.9, 0.8, 0.75, 0.67, 0.5, 0.5, 0.5}));
    // A level between steps goes to the nearest step in that direction.
    EXPECT_EQ(zoomedIn(1.3), 1.5);
    EXPECT_EQ(zoomedOut(1.3), 1.25);
}

}  // namespace
}  // namespace kwirl
