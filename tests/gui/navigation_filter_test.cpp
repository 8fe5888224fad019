// SPDX-License-Identifier: MIT
#include "portal_host.h"
#include "window_fixture.h"

namespace kwirl::test {
namespace {

using Captions = std::vector<std::string>;
const Captions kBefore{"a", "b", "c", "d", "e", "f"};
const Captions kShortcut{"1", "2", "3", "4", "5", "6"};
const Captions kPieces{"4", "16", "36", "64", "100", "144"};
Captions paging(const std::string& page) { return {"|<", "<<", "<", page, ">", ">>"}; }

class NavigationFilterTest : public WindowTest {
protected:
    // Runs the filter from a known state: odd captions and PageIndex 7.
    std::int16_t filter(const std::string& address) {
        const auto buttons = frame->numberButtons();
        for (std::size_t i = 0; i < buttons.size(); ++i) buttons[i]->SetLabel(kBefore[i]);
        frame->PageIndex = 7;
        return browser->raiseBeforeNavigate(address);
    }
};

// The same on either scheme: the filter reads tokens, never the scheme.
TEST_F(NavigationFilterTest, OutcomeByAddress) {
    for (const std::string& portal : {"http://" + portalHost(), "https://" + portalHost()}) {
        const std::string list = portal + "/index.php?name=puzzle1&op=pz6m";
        struct Case {
            std::string address;
            Captions captions;
            std::int32_t pageIndex;
            std::int16_t cancel;
        } cases[] = {
            {"javascript:false", kBefore, 7, 0},
            {portal + "/index.php?name=puzzle1&javascript:false&n=x", kBefore, 7, 0},
            {portal + "/index.php?name=puzzle3&op=game&level=2", kPieces, 7, 0},
            {list + "&n=80", paging("3"), 2, 0},
            {list + "&n=0&n=40&n=80", paging("3"), 2, 0},
            {list + "&n=0&n=40", paging("2"), 1, 0},
            {list + "&n=80&x=1", paging("3"), 2, 0},
            {list + "&n=", paging("1"), 0, 0},
            {list + "&n=&", paging("1"), 0, 0},
            {list + "&n=79", paging("2"), 1, 0},
            {list + "&n=-1", paging("1"), 0, 0},
            {list + "&n=-41", paging("0"), -1, 0},
            {list + "&n=80 ", paging("3"), 2, 0},  // trailing blank at the very end is trimmed
            {list + "&n=80 &x=1", kBefore, 7, 1},  // not trimmed before "&": refused
            {list + "&n=80#top", kBefore, 7, 1},
            {list + "&n=2147483648", kBefore, 7, 1},                                      // beyond 32 bits
            {list + "&n=$50", paging("3"), 2, 0},                                         // hexadecimal 80
            {list, kBefore, 7, 1},                                                        // list view without offset
            {portal + "/index.php?name=puzzle3&op=game&level=2&op=pz6m", kPieces, 7, 1},  // pieces, then refused
            {portal + "/index.php?name=puzzle3&op=game&level=2&op=pz6m&n=40", paging("2"), 1, 0},
            {portal + "/index.php?op=pz6m&n=120", kShortcut, 3, 0},  // pages, then shortcut mode
            {"about:blank", kShortcut, 7, 0},
            {portal + "/index.php", kShortcut, 7, 0},
            {portal + "/index.php?name=awards", kShortcut, 7, 0},
            // Another site's page or frame may name any address: it sets nothing.
            {"http://elsewhere.example/page", kBefore, 7, 0},
            {"http://elsewhere.example/index.php?name=puzzle3&op=game&id=7&level=2", kBefore, 7, 0},
            {"http://elsewhere.example/index.php?name=puzzle3&op=pz6m&n=39960", kBefore, 7, 0},
            {"http://" + nameOfHost(portalHost()) + ".elsewhere.example/index.php?name=puzzle3&op=game&level=2",
             kBefore, 7, 0},
            {portal + "/index.php?name=puzzle1", kBefore, 7, 0},  // start page: leaves the mode
            {portal + "/index.php?name=puzzleguide", kBefore, 7, 0},
            {portal + "/index.php?name=puzzle3&op=game", kBefore, 7, 0},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.address);
            EXPECT_EQ(filter(c.address), c.cancel);
            EXPECT_EQ(captions(), c.captions);
            EXPECT_EQ(frame->PageIndex, c.pageIndex);
            // A page shown again from the history leaves the buttons as its new load did.
            filter("about:blank");
            frame->PageIndex = 7;
            browser->OnHistoryNavigate(browser, c.address);
            EXPECT_EQ(captions(), c.captions == kBefore ? kShortcut : c.captions);
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
