// SPDX-License-Identifier: MIT
#include <algorithm>

#include "Main.h"
#include "guard.h"
#include "progress_preset.h"
#include "toolbar_buttons.h"

namespace kwirl {

// A page button: a progress preset, then one navigation to the address its
// row of the toolbar names, no stop.
void TFrm::openFixedPage(const wxButton* button) {
    const auto buttons = toolbarButtons();
    const auto row = std::find_if(buttons.begin(), buttons.end(),
                                  [&](const ToolbarButton& b) { return this->*b.control == button; });
    if (row == buttons.end() || !row->address) return;
    progressPreset(kClickPresetDivisor);
    swallowFailures("opening a fixed page", [&] { CBW->Navigate(row->address()); });
}

void TFrm::Button8Click(wxObject*) { openFixedPage(Button8); }
void TFrm::Button6Click(wxObject*) { openFixedPage(Button6); }
void TFrm::Button4Click(wxObject*) { openFixedPage(Button4); }
void TFrm::BitBtn1Click(wxObject*) { openFixedPage(BitBtn1); }

}  // namespace kwirl
