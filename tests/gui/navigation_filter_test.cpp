// SPDX-License-Identifier: MIT
#include "portal_host.h"
#include "window_fixture.h"

namespace kwirl::test {
namespace {

using Captions = std::vector<std::string>;
const Captions kShortcut{"1", "2", "3", "4", "5", "6"};
const Captions kPieces{"4", "16", "36", "64", "100", "144"};
Captions paging(const std::string& page) { return {"|<", "<<", "<", page, ">", ">>"}; }

using NavigationFilterTest = WindowTest;

// The buttons show what the navigation set, a refused navigation is
// cancelled, and a page shown again from the history is followed the same way.
TEST_F(NavigationFilterTest, TheButtonsShowWhatANavigationSetsAndARefusalIsCancelled) {
    const std::string portal = portalShownName() + "/index.php";
    struct Case {
        std::string address;
        Captions captions;
        std::int32_t pageIndex;
        std::int16_t cancel;
    } cases[] = {
        {portal + "?name=puzzle3&op=game&level=2", kPieces, 7, 0},
        {portal + "?name=puzzle1&op=pz6m&n=80", paging("3"), 2, 0},
        {portal + "?name=puzzle3&op=game&level=2&op=pz6m", kPieces, 7, 1},  // pieces, then refused
        {"http://elsewhere.example/index.php?name=puzzle3&op=game&level=2", kShortcut, 7, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        for (const bool fromHistory : {false, true}) {
            ASSERT_EQ(browser->raiseBeforeNavigate("about:blank"), 0);
            frame->PageIndex = 7;
            if (fromHistory) {
                browser->OnHistoryNavigate(browser, c.address);
            } else {
                EXPECT_EQ(browser->raiseBeforeNavigate(c.address), c.cancel);
            }
            EXPECT_EQ(captions(), c.captions);
            EXPECT_EQ(frame->PageIndex, c.pageIndex);
        }
    }
}

TEST_F(NavigationFilterTest, FramesAreFilteredLikePagesAndTakeTheFocus) {
    show();
    runLoopFor(50);
    frame->CB->SetFocus();
    EXPECT_EQ(browser->raiseBeforeNavigate(portalShownName() + "/index.php?name=puzzle3&op=game&level=1"), 0);
    EXPECT_EQ(captions(), kPieces);
    // A frame of another site inside the game page leaves the game's buttons.
    EXPECT_EQ(browser->raiseBeforeNavigate("http://elsewhere.example/ad", "adframe"), 0);
    EXPECT_EQ(captions(), kPieces);
    EXPECT_TRUE(runLoopUntil([&] { return wxWindow::FindFocus() == browser->Window(); }, 2000));
}

TEST_F(NavigationFilterTest, ARefusedNavigationLeavesTheFocusWhereItWas) {
    show();
    runLoopFor(50);
    frame->CB->SetFocus();
    runLoopUntil([&] { return wxWindow::FindFocus() == frame->CB; }, 2000);
    EXPECT_EQ(browser->raiseBeforeNavigate(portalShownName() + "/index.php?name=puzzle1&op=pz6m&n=x"), 1);
    runLoopFor(50);
    EXPECT_NE(wxWindow::FindFocus(), browser->Window());
}

}  // namespace
}  // namespace kwirl::test
