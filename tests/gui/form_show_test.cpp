// SPDX-License-Identifier: MIT
#include "addresses.h"
#include "window_fixture.h"

namespace kwirl::test {
namespace {

using FormShowTest = WindowTest;

std::vector<std::string> items(wxChoice* choice) {
    std::vector<std::string> shown;
    for (unsigned i = 0; i < choice->GetCount(); ++i) shown.push_back(fromWx(choice->GetString(i)));
    return shown;
}

TEST_F(FormShowTest, WithoutCatalogueListsTheBuiltInLibrariesAndOpensTwoPages) {
    show();
    EXPECT_EQ(items(frame->CB),
              (std::vector<std::string>{"0:Zededo zu Dozo Dozariv(Free)", "1:Big animal puzzle library",
                                        "2:Big fantastic puzzle library", "3:Big life puzzle library",
                                        "4:Big mix puzzle library", "5:CRAZY Fantasy ART library (3651 puzzle)",
                                        "6:Super Crazy Fantasy Art library"}));
    EXPECT_EQ(frame->CB->GetSelection(), 0);
    EXPECT_EQ(browser->calls, (std::vector<std::string>{"Navigate about:blank", "Navigate " + startPageAddress()}));
    EXPECT_EQ(frame->PB->Position(), 0) << "the selector must not run on show";
    EXPECT_EQ(fromWx(frame->Label1->GetLabel()), "Library");
    EXPECT_EQ(fromWx(frame->Button8->GetLabel()), "Hall of Awards");
    EXPECT_EQ(fromWx(frame->Button6->GetLabel()), "ChampionShip");
    EXPECT_EQ(fromWx(frame->Button4->GetLabel()), "Puzzle Guide");
    EXPECT_EQ(fromWx(frame->BitBtn1->GetLabel()), "Home");
    EXPECT_EQ(fromWx(frame->GetTitle()), "Kwirl Mozalo Laboratory");
    EXPECT_EQ(captions(), (std::vector<std::string>{"1", "2", "3", "4", "5", "6"}));
    EXPECT_TRUE(runLoopUntil([&] { return frame->IsMaximized(); }, 5000));
}

TEST_F(FormShowTest, CatalogueNamesAreNumberedAndAnEmptyNameStillGivesAnItem) {
    frame->CatalogueNames[0] = "Animals";
    frame->CatalogueNames[1] = "";
    frame->CatalogueNames[2] = "Art > Fantasy";
    frame->CatalogueCount = 3;
    show();
    EXPECT_EQ(items(frame->CB), (std::vector<std::string>{"0:Animals", "1:", "2:Art > Fantasy"}));
    EXPECT_EQ(frame->CB->GetSelection(), 0);
}

TEST_F(FormShowTest, ALoadedButEmptyCatalogueShowsTheBuiltInList) {
    frame->CatalogueLoaded = true;
    show();
    EXPECT_EQ(frame->CB->GetCount(), 7u);
}

TEST_F(FormShowTest, AFailedNavigationSkipsTheSecondButTheWindowIsStillMaximised) {
    browser->failNavigate = true;
    show();
    EXPECT_EQ(browser->calls, (std::vector<std::string>{"Navigate about:blank"}));
    EXPECT_TRUE(runLoopUntil([&] { return frame->IsMaximized(); }, 5000));
}

TEST_F(FormShowTest, EveryCaptionFitsItsControl) {
    show();
    for (wxButton* button : {frame->Button8, frame->Button6, frame->Button4, frame->BitBtn1}) {
        const int text = button->GetTextExtent(button->GetLabel()).x;
        EXPECT_LT(text, button->GetSize().x) << fromWx(button->GetLabel());
    }
    EXPECT_EQ(frame->Button8->GetSize(), wxSize(77, 20));
    EXPECT_EQ(frame->CB->GetPosition(), wxPoint(36, -1));
    EXPECT_EQ(frame->Panel2->GetPosition(), wxPoint(224, 1));
}

}  // namespace
}  // namespace kwirl::test
