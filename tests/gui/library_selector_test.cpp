// SPDX-License-Identifier: MIT
#include "addresses.h"
#include "window_fixture.h"

namespace kwirl::test {
namespace {

class LibrarySelectorTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        show();
        browser->calls.clear();
    }
    void choose(int position, std::int32_t pageIndex) {
        frame->CB->SetSelection(position);
        frame->PageIndex = pageIndex;
        frame->PB->SetPosition(0);
        browser->calls.clear();
        wxCommandEvent event(wxEVT_CHOICE, frame->CB->GetId());
        event.SetEventObject(frame->CB);
        event.SetInt(position);
        frame->CB->ProcessWindowEvent(event);
    }
};

TEST_F(LibrarySelectorTest, BuiltInPositionsOpenTheirListAtTheOffsetOfThePageShownLast) {
    struct Case {
        int position;
        const char* query;
        bool stop;
        std::int32_t pageIndexAfter;
    } cases[] = {
        {0, "?name=puzzle1&op=pz6m", false, 0}, {1, "?name=puzzle3&op=pz6m", false, 0},
        {2, "?name=pazzle&op=pz6m", true, 0},   {3, "?name=puzzle2&op=pz6m", false, 0},
        {4, "?name=puzzle4&op=pz6m", false, 0}, {5, "?name=puzzle10&op=pz6m", false, 2},
        {6, "?name=puzzle5", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.position);
        choose(c.position, 2);
        const auto address = baseAddress() + c.query + "&n=80";
        const std::vector<std::string> expected = c.stop ? std::vector<std::string>{"Stop", "Navigate " + address}
                                                         : std::vector<std::string>{"Navigate " + address};
        EXPECT_EQ(browser->calls, expected);
        EXPECT_EQ(frame->PageIndex, c.pageIndexAfter);
        EXPECT_EQ(frame->PB->Position(), 8);
    }
}

TEST_F(LibrarySelectorTest, WithACatalogueTheEntryGetsTheOffsetWithoutPresetOrStop) {
    frame->CatalogueLoaded = true;
    frame->CatalogueCount = 2;
    frame->CatalogueRefs[1] = "http://h/index.php?name=lib1";
    choose(1, 3);
    EXPECT_EQ(browser->calls, (std::vector<std::string>{"Navigate http://h/index.php?name=lib1&n=120"}));
    EXPECT_EQ(frame->PageIndex, 0);
    EXPECT_EQ(frame->PB->Position(), 0);
}

TEST_F(LibrarySelectorTest, APositionPastTheCatalogueOpensTheBuiltInAddress) {
    frame->CatalogueLoaded = true;
    frame->CatalogueCount = 1;
    choose(3, 0);
    EXPECT_EQ(browser->calls, (std::vector<std::string>{"Navigate " + baseAddress() + "?name=puzzle2&op=pz6m&n=0"}));
}

TEST_F(LibrarySelectorTest, AFailedNavigationKeepsPageIndex) {
    browser->failNavigate = true;
    choose(0, 4);
    EXPECT_EQ(frame->PageIndex, 4);
}

TEST_F(LibrarySelectorTest, SelectionFromCodeRunsNothingAndBackspaceRunsTheSelectorAgain) {
    frame->CB->SetSelection(4);
    runLoopFor(20);
    EXPECT_TRUE(browser->calls.empty());
    frame->PageIndex = 1;
    wxKeyEvent backspace(wxEVT_KEY_DOWN);
    backspace.m_keyCode = WXK_BACK;
    backspace.SetEventObject(frame->CB);
    frame->CB->ProcessWindowEvent(backspace);
    EXPECT_EQ(browser->calls, (std::vector<std::string>{"Navigate " + baseAddress() + "?name=puzzle4&op=pz6m&n=40"}));
}

TEST_F(LibrarySelectorTest, TypedLettersSelectTheFirstEntryThatBeginsWithThem) {
    const auto type = [&](wxChar letter) {
        wxKeyEvent key(wxEVT_KEY_DOWN);
        key.m_keyCode = letter;
        key.m_uniChar = letter;
        key.SetEventObject(frame->CB);
        frame->CB->ProcessWindowEvent(key);
    };
    type('3');
    EXPECT_EQ(frame->CB->GetSelection(), 3);
    EXPECT_EQ(browser->calls, (std::vector<std::string>{"Navigate " + baseAddress() + "?name=puzzle2&op=pz6m&n=0"}));
    browser->calls.clear();
    type('3');  // "33" leads nowhere: nothing happens
    EXPECT_EQ(frame->CB->GetSelection(), 3);
    EXPECT_TRUE(browser->calls.empty());
}

TEST_F(LibrarySelectorTest, DigitsTypedWithShiftChooseButCommandKeysDoNot) {
    const auto type = [&](wxChar letter, bool shift, bool control) {
        wxKeyEvent key(wxEVT_KEY_DOWN);
        key.m_keyCode = letter;
        key.m_uniChar = letter;
        key.m_shiftDown = shift;
        key.m_controlDown = control;
        key.SetEventObject(frame->CB);
        frame->CB->ProcessWindowEvent(key);
    };
    type('5', true, false);  // keyboards where digits need Shift
    EXPECT_EQ(frame->CB->GetSelection(), 5);
    EXPECT_EQ(browser->calls.size(), 1u);
    type('6', false, true);  // Ctrl+6 is no letter of an entry
    EXPECT_EQ(frame->CB->GetSelection(), 5);
    EXPECT_EQ(browser->calls.size(), 1u);
}

}  // namespace
}  // namespace kwirl::test
