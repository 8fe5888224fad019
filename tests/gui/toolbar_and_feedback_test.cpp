// SPDX-License-Identifier: MIT
#include <libintl.h>

#include <array>
#include <clocale>
#include <algorithm>
#include <tuple>

#include "addresses.h"
#include "captions.h"
#include "in_language.h"
#include "translate.h"
#include "window_fixture.h"
#include "wx_text.h"

namespace kwirl::test {
namespace {

using ToolbarTest = WindowTest;

// Each page button, found by its caption as a person finds it.
TEST_F(ToolbarTest, FixedPagesOpenWithOneNavigationAndNoStop) {
    struct Case {
        std::string caption;
        std::string address;
    } cases[] = {{"Hall of Awards", pageAddress("awards")},
                 {"ChampionShip", pageAddress("champday")},
                 {"Puzzle Guide", pageAddress("puzzleguide")},
                 {"Home", baseAddress()}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        browser->calls.clear();
        frame->PBC->SetPosition(33);
        const auto& controls = frame->toolbarControls();
        const auto found = std::find_if(controls.begin(), controls.end(),
                                        [&](wxButton* b) { return fromWx(b->GetLabel()) == c.caption; });
        ASSERT_NE(found, controls.end());
        wxButton* button = *found;
        wxCommandEvent event(wxEVT_BUTTON, button->GetId());
        event.SetEventObject(button);
        button->ProcessWindowEvent(event);
        EXPECT_EQ(browser->calls, (std::vector<std::string>{"Navigate " + c.address}));
        EXPECT_EQ(frame->PB->Max(), 100);
        EXPECT_EQ(frame->PB->Position(), 8);
        EXPECT_EQ(frame->PBC->Position(), 33);
    }
    EXPECT_EQ(baseAddress().find('?'), std::string::npos);
}

// A page button's hint is its caption in the user's language, Button13's a
// single blank, and no other button has one; every caption stays as the portal
// names it.
TEST(ToolbarHints, InTheUsersLanguageWithTheCaptionsAsTheyAre) {
    const struct {
        const char* locale;
        std::array<std::string, 3> pageHints;  // Button8, Button6, Button4
    } languages[] = {{"C", {"Hall of Awards", "ChampionShip", "Puzzle Guide"}},
                     {"de_DE.UTF-8", {"Ruhmeshalle", "Meisterschaft", "Puzzle-Anleitung"}}};
    for (const auto& language : languages) {
        SCOPED_TRACE(language.locale);
        const InLanguage inLanguage(language.locale);
        ASSERT_TRUE(inLanguage.taken()) << "no such locale here (scripts/setup.sh makes the German one)";
        TFrm* frame = new TFrm(nullptr, [](wxWindow* parent) { return std::make_unique<TRecordingBrowser>(parent); });
        const std::tuple<wxButton*, std::string, std::string> buttons[] = {
            {frame->Button8, "Hall of Awards", language.pageHints[0]},
            {frame->Button6, "ChampionShip", language.pageHints[1]},
            {frame->Button4, "Puzzle Guide", language.pageHints[2]},
            {frame->Button13, "5", ""},  // its hint of a blank alone would show an empty box
            {frame->Button7, "1", ""},
            {frame->Button14, "6", ""},
            {frame->BitBtn1, "Home", ""}};
        for (const auto& [button, caption, hint] : buttons) {
            EXPECT_EQ(fromWx(button->GetLabel()), caption);
            EXPECT_EQ(fromWx(button->GetToolTipText()), hint) << caption;
        }
        destroyWindow(frame);
    }
}

TEST_F(ToolbarTest, ProgressMovesBothBarsAgainstTheCommonMaximum) {
    struct Case {
        std::int32_t progress, progressMax;
        std::int32_t pbMax, pbPosition, pbcMax, pbcPosition;
    } cases[] = {
        {50, 1000, 1000, 500, 1000, 250},
        {200, 1000, 1000, 2000, 1000, 1000},
        {-1, 1000, 1000, -10, 1000, -5},
        {0, 0, 0, 0, 0, 0},
        {2147483647, 10000, 10000, 2147483647, 10000, 2147483647},  // held at the end, not overflowed
    };
    for (const auto& c : cases) {
        browser->OnProgressChange(browser, c.progress, c.progressMax);
        EXPECT_EQ(frame->PB->Min(), 0);
        EXPECT_EQ(frame->PB->Max(), c.pbMax);
        EXPECT_EQ(frame->PB->Position(), c.pbPosition);
        EXPECT_EQ(frame->PBC->Max(), c.pbcMax);
        EXPECT_EQ(frame->PBC->Position(), c.pbcPosition);
    }
}

TEST_F(ToolbarTest, ANegativeMaximumLeavesBothBarsAsTheyWere) {
    browser->OnProgressChange(browser, 30, 100);
    browser->OnProgressChange(browser, 10, -5);
    EXPECT_EQ(frame->PB->Max(), 100);
    EXPECT_EQ(frame->PB->Position(), 300);
    EXPECT_EQ(frame->PBC->Max(), 100);
    EXPECT_EQ(frame->PBC->Position(), 150);
}

TEST_F(ToolbarTest, ANewWindowIsAnsweredWithTheBrowserItself) {
    TCppWebBrowser* target = nullptr;
    std::int16_t cancel = 1;
    browser->OnNewWindow2(browser, target, cancel);
    EXPECT_EQ(target, browser);
    EXPECT_EQ(cancel, 0);

    browser->failApplication = true;
    target = nullptr;
    cancel = 1;
    browser->OnNewWindow2(browser, target, cancel);
    EXPECT_EQ(target, nullptr);
    EXPECT_EQ(cancel, 0);
}

}  // namespace
}  // namespace kwirl::test
