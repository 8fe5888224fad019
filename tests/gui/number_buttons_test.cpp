// SPDX-License-Identifier: MIT
#include "addresses.h"
#include "window_fixture.h"

namespace kwirl::test {
namespace {

class NumberButtonsTest : public WindowTest {
protected:
    void click(wxButton* button, const std::string& location, std::int32_t pageIndex = 0) {
        browser->calls.clear();
        browser->location = location;
        frame->PageIndex = pageIndex;
        wxCommandEvent event(wxEVT_BUTTON, button->GetId());
        event.SetEventObject(button);
        button->ProcessWindowEvent(event);
    }
    std::vector<std::string> stopThenGo(const std::string& address) { return {"Stop", "Navigate " + address}; }
    std::vector<std::string> go(const std::string& address) { return {"Navigate " + address}; }
};

TEST_F(NumberButtonsTest, LevelsAreAppendedOnAGameAddress) {
    const std::string game = "http://h/index.php?name=puzzle3&op=game&level=3";
    struct Case {
        TFrmButton button;
        std::string level;
        bool stop;
        std::int32_t preset;
    } cases[] = {{&TFrm::Button7, "1", true, 8},  {&TFrm::Button10, "2", false, 20}, {&TFrm::Button11, "3", true, 8},
                 {&TFrm::Button12, "4", true, 8}, {&TFrm::Button13, "5", false, 8},  {&TFrm::Button14, "6", false, 8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        click(frame->*c.button, game, 4);
        const auto expected = game + "&level=" + c.level;
        EXPECT_EQ(browser->calls, c.stop ? stopThenGo(expected) : go(expected));
        EXPECT_EQ(frame->PageIndex, 4);
        EXPECT_EQ(frame->PB->Max(), 100);
        EXPECT_EQ(frame->PB->Position(), c.preset);
    }
    // The same level again is appended all the same.
    click(frame->Button11, game);
    EXPECT_EQ(browser->calls, stopThenGo(game + "&level=3"));
}

// Every navigation of a click, in order, each with what it shows first.
TEST_F(NumberButtonsTest, AClickMakesEachOfItsNavigationsInTurn) {
    // A list view that is also neutral: page first, shortcut last.
    click(frame->Button13, "http://h/index.php?op=pz1d&n=40", 1);
    EXPECT_EQ(browser->calls, (std::vector<std::string>{"Stop", "Navigate http://h/index.php?op=pz1d&n=40&n=80", "Stop",
                                                        "Navigate " + pageAddress("puzzle10")}));
    EXPECT_EQ(frame->PageIndex, 0);
    EXPECT_EQ(fromWx(frame->Button12->GetLabel()), "3");
}

// The drop-down's choice is the library the shortcuts open, where the
// catalogue has an entry at its position.
TEST_F(NumberButtonsTest, TheShortcutsOpenTheLibraryChosenInTheDropDown) {
    frame->CatalogueLoaded = true;
    frame->CatalogueCount = 2;
    frame->CatalogueRefs[1] = "http://h/index.php?name=lib1&op=pz6m";
    frame->CatalogueNames[1] = "one";
    show();
    frame->CB->SetSelection(1);
    click(frame->Button10, "about:blank");
    EXPECT_EQ(browser->calls, stopThenGo("http://h/index.php?name=lib1&op=pz6m&n=0"));
    frame->CB->SetSelection(4);  // past the catalogue: the button's own
    click(frame->Button10, "about:blank");
    EXPECT_EQ(browser->calls, stopThenGo(pageAddress("puzzle2")));
}

TEST_F(NumberButtonsTest, AFailedNavigationDoesNotStopTheNextTest) {
    browser->failNavigate = true;
    click(frame->Button13, "http://h/index.php?op=pz6m&n=0", 0);
    EXPECT_EQ(browser->calls, (std::vector<std::string>{"Stop", "Navigate http://h/index.php?op=pz6m&n=0&n=40", "Stop",
                                                        "Navigate " + pageAddress("puzzle10")}));
    browser->failNavigate = false;
    browser->failLocation = true;
    click(frame->Button7, "about:blank", 5);
    EXPECT_TRUE(browser->calls.empty());
    EXPECT_EQ(frame->PB->Position(), 8);  // the preset stays
    EXPECT_EQ(frame->PageIndex, 5);
}

TEST_F(NumberButtonsTest, RoadOfOneTypicalEvent) {
    // ">" on a list page ending in &n=40, with the browser filtering as it navigates.
    browser->filterNavigations = true;
    const std::string list = baseAddress() + "?name=puzzle1&op=pz6m&n=40";
    ASSERT_EQ(browser->raiseBeforeNavigate(list), 0);
    ASSERT_EQ(frame->PageIndex, 1);
    click(frame->Button13, list, 1);
    EXPECT_EQ(frame->PB->Position(), 8);
    EXPECT_EQ(browser->calls, stopThenGo(list + "&n=80"));
    EXPECT_EQ(browser->location, list + "&n=80");
    EXPECT_EQ(frame->PageIndex, 2);
    EXPECT_EQ(captions(), (std::vector<std::string>{"|<", "<<", "<", "3", ">", ">>"}));
}

}  // namespace
}  // namespace kwirl::test
