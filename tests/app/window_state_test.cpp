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

}  // namespace
}  // namespace kwirl
