// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "window_state.h"

namespace kwirl {
namespace {

const WindowSize kLeast{600, 300};
const WindowSize kScreen{1920, 1080};

std::string stateWith(const std::string& extra) {
    return "[Window]\nwidth=900\nheight=700\nmaximised=false\nfull-screen=false\n" + extra;
}

// The zoom and the start choice are read back as written; a zoom out of its
// range, or no number, is 100 %; a file of before them keeps its size.
TEST(WindowState, TheZoomAndTheStartChoiceComeBackWhenSensible) {
    const struct {
        const char* extra;
        double zoom;
        bool startPage;
    } cases[] = {
        {"zoom=1.5\nstart-page=true\n", 1.5, true},
        {"zoom=0.5\n", 0.5, false},
        {"zoom=3\n", 3.0, false},
        {"", 1.0, false},  // a file of an earlier version
        {"zoom=0.49\n", 1.0, false},
        {"zoom=300\n", 1.0, false},
        {"zoom=-1.5\n", 1.0, false},
        {"zoom=nan\n", 1.0, false},
        {"zoom=inf\n", 1.0, false},
        {"zoom=1,5\n", 1.0, false},
        {"zoom=large\nstart-page=maybe\n", 1.0, false},
    };
    for (const auto& c : cases) {
        const auto state = parseWindowState(stateWith(c.extra), kLeast, kScreen);
        ASSERT_TRUE(state) << c.extra;
        EXPECT_EQ(state->normal.width, 900) << c.extra;
        EXPECT_DOUBLE_EQ(state->zoom, c.zoom) << c.extra;
        EXPECT_EQ(state->startAtStartPage, c.startPage) << c.extra;
    }
    WindowState written{{1000, 800}, true, false, 1.25, true};
    const auto read = parseWindowState(formatWindowState(written), kLeast, kScreen);
    ASSERT_TRUE(read);
    EXPECT_DOUBLE_EQ(read->zoom, 1.25);
    EXPECT_TRUE(read->startAtStartPage);
    EXPECT_TRUE(read->maximised);
}

// A size is read back within the screen; one the window manager gave below the
// least (it takes a few pixels from the hint) comes back at the least; one of
// no area, or past the screen, is no state at all.
TEST(WindowState, ASizeComesBackWithinTheScreenAndAtLeastTheLeast) {
    const struct {
        int width, height;
        bool read;
        WindowSize comesBack;
    } cases[] = {
        {900, 700, true, {900, 700}}, {600, 300, true, {600, 300}},     {594, 300, true, {600, 300}},
        {594, 180, true, {600, 300}}, {1920, 1080, true, {1920, 1080}}, {0, 700, false, {}},
        {900, -5, false, {}},         {1921, 700, false, {}},           {900, 99999, false, {}},
    };
    for (const auto& c : cases) {
        const std::string text = "[Window]\nwidth=" + std::to_string(c.width) + "\nheight=" + std::to_string(c.height) +
                                 "\nmaximised=false\nfull-screen=false\n";
        const auto state = parseWindowState(text, kLeast, kScreen);
        ASSERT_EQ(state.has_value(), c.read) << c.width << "x" << c.height;
        if (!state) continue;
        EXPECT_EQ(state->normal.width, c.comesBack.width) << c.width << "x" << c.height;
        EXPECT_EQ(state->normal.height, c.comesBack.height) << c.width << "x" << c.height;
    }
}

}  // namespace
}  // namespace kwirl
