// SPDX-License-Identifier: MIT
#include "toolbar_buttons.h"

#include <array>

#include "address_vocabulary.h"
#include "addresses.h"
#include "captions.h"
#include "translatable.h"

namespace kwirl {

namespace {

constexpr int kNotANumber = -1;

constexpr std::string (*kNoPage)() = nullptr;

// A page button's hint is its caption in the user's language; its caption stays.
constexpr ToolbarButton pageButton(TFrmButton control, void (TFrm::*click)(wxObject*), const char* caption,
                                   const char* hint, const char* description, std::string (*address)(), int width,
                                   int gapBefore, wxStockCursor cursor = wxCURSOR_NONE) {
    return {control,   click, caption, address,     width,      ButtonPlace::Row,
            gapBefore, hint,  cursor,  kNotANumber, description};
}

constexpr ToolbarButton numberButton(TFrmButton control, void (TFrm::*click)(wxObject*), int number, int width,
                                     int gapBefore, const char* hint = nullptr) {
    return {control, click, nullptr, kNoPage, width, ButtonPlace::Row, gapBefore, hint, wxCURSOR_HAND, number, nullptr};
}

constexpr std::array<ToolbarButton, 10> kButtons = {
    // TRANSLATORS: this and the next two are the tool tips of the buttons that
    // open the portal's pages of these names; the captions stay in English.
    pageButton(
        &TFrm::Button8, &TFrm::Button8Click, kAwardsCaption, translatable("Hall of Awards"),
        translatable("Opens the portal's hall of awards"), [] { return pageAddress(vocab::kAwards); }, 77, 1),
    pageButton(
        &TFrm::Button6, &TFrm::Button6Click, kChampionshipCaption, translatable("ChampionShip"),
        translatable("Opens the portal's championship"), [] { return pageAddress(vocab::kChampday); }, 82, 0),
    numberButton(&TFrm::Button7, &TFrm::Button7Click, 0, 22, 1),
    numberButton(&TFrm::Button10, &TFrm::Button10Click, 1, 22, 2),
    numberButton(&TFrm::Button11, &TFrm::Button11Click, 2, 22, 2),
    numberButton(&TFrm::Button12, &TFrm::Button12Click, 3, 22, 2),
    numberButton(&TFrm::Button13, &TFrm::Button13Click, 4, 24, 2, kButton13Hint),
    numberButton(&TFrm::Button14, &TFrm::Button14Click, 5, 24, 1),
    pageButton(
        &TFrm::Button4, &TFrm::Button4Click, kGuideCaption, translatable("Puzzle Guide"),
        translatable("Opens the portal's guide to its puzzles"), [] { return pageAddress(vocab::kPuzzleGuide); }, 73, 1,
        wxCURSOR_QUESTION_ARROW),
    ToolbarButton{&TFrm::BitBtn1, &TFrm::BitBtn1Click, kHomeCaption, [] { return baseAddress(); }, 38,
                  ButtonPlace::Corner, 0, nullptr, wxCURSOR_NONE, kNotANumber,
                  translatable("Opens the portal's home page")},
};

}  // namespace

std::span<const ToolbarButton> toolbarButtons() { return kButtons; }

}  // namespace kwirl
