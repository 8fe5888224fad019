// SPDX-License-Identifier: MIT
#include "toolbar_buttons.h"

#include <array>
#include <stdexcept>

#include "addresses.h"
#include "captions.h"
#include "translatable.h"

namespace kwirl {

namespace {

constexpr int kNotANumber = -1;
constexpr std::string_view kHomePage;

// A page button: its caption and page as the portal names them (the caption
// the same in every language), its hint the caption in the user's language,
// its description what it does.
constexpr ToolbarButton pageButton(const char* caption, std::string_view page, const char* hint,
                                   const char* description, int width, int gapBefore,
                                   wxStockCursor cursor = wxCURSOR_NONE, TFrmButton control = nullptr,
                                   TFrmClick click = nullptr) {
    return {ButtonJob::OpenPage, control, caption, page,        width,       ButtonPlace::Row,
            gapBefore,           hint,    cursor,  kNotANumber, description, click};
}

constexpr ToolbarButton numberButton(TFrmButton control, TFrmClick click, int number, int width, int gapBefore,
                                     const char* hint = nullptr) {
    return {ButtonJob::Number, control, nullptr,       {},     width,   ButtonPlace::Row,
            gapBefore,         hint,    wxCURSOR_HAND, number, nullptr, click};
}

constexpr auto kButtons = std::to_array<ToolbarButton>({
    // TRANSLATORS: this and the next two are the tool tips of the buttons that
    // open the portal's pages of these names; the captions stay in English.
    pageButton("Hall of Awards", "awards", translatable("Hall of Awards"),
               translatable("Opens the portal's hall of awards"), 77, 1, wxCURSOR_NONE, &TFrm::Button8,
               &TFrm::Button8Click),
    pageButton("ChampionShip", "champday", translatable("ChampionShip"),
               translatable("Opens the portal's championship"), 82, 0, wxCURSOR_NONE, &TFrm::Button6,
               &TFrm::Button6Click),
    numberButton(&TFrm::Button7, &TFrm::Button7Click, 0, 22, 1),
    numberButton(&TFrm::Button10, &TFrm::Button10Click, 1, 22, 2),
    numberButton(&TFrm::Button11, &TFrm::Button11Click, 2, 22, 2),
    numberButton(&TFrm::Button12, &TFrm::Button12Click, 3, 22, 2),
    numberButton(&TFrm::Button13, &TFrm::Button13Click, 4, 24, 2, kButton13Hint),
    numberButton(&TFrm::Button14, &TFrm::Button14Click, 5, 24, 1),
    pageButton("Puzzle Guide", "puzzleguide", translatable("Puzzle Guide"),
               translatable("Opens the portal's guide to its puzzles"), 73, 1, wxCURSOR_QUESTION_ARROW, &TFrm::Button4,
               &TFrm::Button4Click),
    ToolbarButton{ButtonJob::OpenPage, &TFrm::BitBtn1, "Home", kHomePage, 38, ButtonPlace::Corner, 0, nullptr,
                  wxCURSOR_NONE, kNotANumber, translatable("Opens the portal's home page"), &TFrm::BitBtn1Click},
});

}  // namespace

std::span<const ToolbarButton> toolbarButtons() { return kButtons; }

std::size_t toolbarRowOf(TFrmButton control) {
    for (std::size_t row = 0; row < kButtons.size(); ++row) {
        if (kButtons[row].control == control) return row;
    }
    throw std::logic_error("a toolbar button without its row");
}

std::string pageButtonAddress(const ToolbarButton& row) {
    return row.page.empty() ? baseAddress() : pageAddress(row.page);
}

}  // namespace kwirl
