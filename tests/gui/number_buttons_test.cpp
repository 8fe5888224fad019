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

TEST_F(NumberButtonsTest, PagingMovesPageIndexAndAppendsTheOffset) {
    const std::string list = "http://h/index.php?name=puzzle1&op=pz6m&n=200";
    struct Case {
        TFrmButton button;
        std::int32_t from, to;
    } cases[] = {
        {&TFrm::Button7, 5, 0},   {&TFrm::Button10, 5, 0},          {&TFrm::Button10, 12, 2}, {&TFrm::Button10, 0, 0},
        {&TFrm::Button11, 5, 4},  {&TFrm::Button11, 0, 0},          {&TFrm::Button12, 5, 5},  {&TFrm::Button13, 5, 6},
        {&TFrm::Button14, 5, 15}, {&TFrm::Button14, 99999, 100009},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " -> " + std::to_string(c.to));
        click(frame->*c.button, list, c.from);
        EXPECT_EQ(frame->PageIndex, c.to);
        EXPECT_EQ(fromWx(frame->Button12->GetLabel()), std::to_string(c.to + 1));
        EXPECT_EQ(browser->calls, stopThenGo(list + "&n=" + std::to_string(c.to * 40)));
    }
}

TEST_F(NumberButtonsTest, ShortcutsOpenLibrariesOnANeutralAddress) {
    struct Case {
        TFrmButton button;
        const char* page;
    } cases[] = {{&TFrm::Button7, "pazzle"},   {&TFrm::Button10, "puzzle2"},  {&TFrm::Button11, "puzzle3"},
                 {&TFrm::Button12, "puzzle4"}, {&TFrm::Button13, "puzzle10"}, {&TFrm::Button14, "puzzle5"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page);
        click(frame->*c.button, baseAddress() + "?name=awards", 3);
        EXPECT_EQ(browser->calls, stopThenGo(pageAddress(c.page)));
        EXPECT_EQ(frame->PageIndex, 0);
    }
}

TEST_F(NumberButtonsTest, OnALibraryPageWithoutOffsetOnlyThePresetHappens) {
    for (const char* address : {"http://h/index.php?name=puzzle1", "http://h/index.php?name=puzzleguide",
                                "http://h/index.php?name=puzzle1&op=game"}) {
        for (wxButton* button : frame->numberButtons()) {
            click(button, address, 3);
            EXPECT_TRUE(browser->calls.empty()) << address;
            EXPECT_EQ(frame->PageIndex, 3);
        }
    }
}

TEST_F(NumberButtonsTest, ForwardButtonPagesWideListsAndThenOpensItsShortcut) {
    // A library list view without "&n=": only ">" acts.
    click(frame->Button13, "http://h/index.php?name=puzzle1&op=pz6m", 2);
    EXPECT_EQ(browser->calls, stopThenGo("http://h/index.php?name=puzzle1&op=pz6m&n=120"));
    click(frame->Button14, "http://h/index.php?name=puzzle1&op=pz6m", 2);
    EXPECT_TRUE(browser->calls.empty());
    // A list view that is also neutral: page first, shortcut last.
    click(frame->Button13, "http://h/index.php?op=pz1d&n=40", 1);
    EXPECT_EQ(browser->calls, (std::vector<std::string>{"Stop", "Navigate http://h/index.php?op=pz1d&n=40&n=80", "Stop",
                                                        "Navigate " + pageAddress("puzzle10")}));
    EXPECT_EQ(frame->PageIndex, 0);
    EXPECT_EQ(fromWx(frame->Button12->GetLabel()), "3");
}

TEST_F(NumberButtonsTest, WithACatalogueEveryShortcutOpensTheSelectedLibrary) {
    frame->CatalogueLoaded = true;
    frame->CatalogueCount = 2;
    frame->CatalogueRefs[0] = "http://h/index.php?name=lib0";
    frame->CatalogueRefs[1] = "http://h/index.php?name=lib1&op=pz6m";
    frame->CatalogueNames[0] = "zero";
    frame->CatalogueNames[1] = "one";
    show();
    for (const int item : {0, 1}) {
        frame->CB->SetSelection(item);
        for (wxButton* button : frame->numberButtons()) {
            click(button, "about:blank");
            // A list view opens at its first page, as the filter lets only that through.
            EXPECT_EQ(browser->calls, stopThenGo(item == 0 ? "http://h/index.php?name=lib0"
                                                           : "http://h/index.php?name=lib1&op=pz6m&n=0"));
        }
    }
}

TEST_F(NumberButtonsTest, APositionWithoutCatalogueEntryOpensTheButtonsOwnShortcut) {
    frame->CatalogueLoaded = true;  // a catalogue page without entries
    show();
    frame->CB->SetSelection(4);
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
