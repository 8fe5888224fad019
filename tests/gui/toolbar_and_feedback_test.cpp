// SPDX-License-Identifier: MIT
#include "addresses.h"
#include "captions.h"
#include "window_fixture.h"
#include "wx_text.h"

namespace kwirl::test {
namespace {

using ToolbarTest = WindowTest;

TEST_F(ToolbarTest, FixedPagesOpenWithOneNavigationAndNoStop) {
    struct Case {
        wxButton* TFrm::*button;
        std::string address;
    } cases[] = {{&TFrm::Button8, pageAddress("awards")},
                 {&TFrm::Button6, pageAddress("champday")},
                 {&TFrm::Button4, pageAddress("puzzleguide")},
                 {&TFrm::BitBtn1, baseAddress()}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        browser->calls.clear();
        frame->PBC->SetPosition(33);
        wxButton* button = frame->*c.button;
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

// Without a translation (this program takes no locale) a page button's hint is
// its caption, Button13's a single blank, and no other button has one.
TEST_F(ToolbarTest, HintsAsTheFormHasThem) {
    const std::pair<wxButton*, std::string> cases[] = {
        {frame->Button8, kAwardsCaption}, {frame->Button6, kChampionshipCaption}, {frame->Button4, kGuideCaption},
        {frame->Button13, kButton13Hint}, {frame->Button7, ""},  {frame->Button10, ""},
        {frame->Button11, ""},            {frame->Button12, ""},  {frame->Button14, ""},
        {frame->BitBtn1, ""}};
    for (const auto& [button, hint] : cases) {
        EXPECT_EQ(fromWx(button->GetToolTipText()), hint) << fromWx(button->GetLabel());
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
