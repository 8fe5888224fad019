// SPDX-License-Identifier: MIT
#include "Main.h"
#include "addresses.h"
#include "address_vocabulary.h"
#include "guard.h"
#include "progress_preset.h"

namespace kwirl {

// The four fixed pages: a progress preset, then one navigation, no stop.
void TFrm::openFixedPage(const std::string& address) {
    progressPreset(kClickPresetDivisor);
    swallowFailures([&] { CBW->Navigate(address); });
}

void TFrm::Button8Click(wxObject*) { openFixedPage(pageAddress(vocab::kAwards)); }
void TFrm::Button6Click(wxObject*) { openFixedPage(pageAddress(vocab::kChampday)); }
void TFrm::Button4Click(wxObject*) { openFixedPage(pageAddress(vocab::kPuzzleGuide)); }
void TFrm::BitBtn1Click(wxObject*) { openFixedPage(baseAddress()); }

}  // namespace kwirl
