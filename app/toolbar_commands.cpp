// SPDX-License-Identifier: MIT
#include "Main.h"
#include "guard.h"
#include "progress_preset.h"
#include "toolbar_buttons.h"

namespace kwirl {

// A page button: a progress preset, then one navigation to the address its
// row of the toolbar names, no stop.
void TFrm::openFixedPage(std::size_t row) {
    progressPreset(kClickPresetDivisor);
    swallowFailures("opening a fixed page", [&] { CBW->Navigate(pageButtonAddress(toolbarButtons()[row])); });
}

void TFrm::Button8Click(wxObject*) { openFixedPage(toolbarRowOf(&TFrm::Button8)); }
void TFrm::Button6Click(wxObject*) { openFixedPage(toolbarRowOf(&TFrm::Button6)); }
void TFrm::Button4Click(wxObject*) { openFixedPage(toolbarRowOf(&TFrm::Button4)); }
void TFrm::BitBtn1Click(wxObject*) { openFixedPage(toolbarRowOf(&TFrm::BitBtn1)); }

}  // namespace kwirl
