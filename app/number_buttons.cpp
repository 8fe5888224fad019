// SPDX-License-Identifier: MIT
#include "Main.h"
#include "guard.h"

namespace kwirl {

// What the click does is the page state's answer; each navigation it asks
// for is tried on its own.
void TFrm::numberButtonClick(int button) {
    swallowFailures("answering a number button", [&] {
        const NumberButtonClick click =
            page_.click(static_cast<std::size_t>(button), CBW->LocationURL(), chosenLibrary());
        progressPreset(click.presetDivisor);
        for (const NumberButtonStep& step : click.steps) {
            page_.take(step);
            if (step.kind == NumberButtonStep::Kind::Page) showPageState();
            swallowFailures("following a number button", [&] {
                if (step.failure) std::rethrow_exception(step.failure);
                if (step.stopFirst) CBW->Stop();
                CBW->Navigate(step.address);
            });
        }
    });
}

void TFrm::Button7Click(wxObject*) { numberButtonClick(0); }
void TFrm::Button10Click(wxObject*) { numberButtonClick(1); }
void TFrm::Button11Click(wxObject*) { numberButtonClick(2); }
void TFrm::Button12Click(wxObject*) { numberButtonClick(3); }
void TFrm::Button13Click(wxObject*) { numberButtonClick(4); }
void TFrm::Button14Click(wxObject*) { numberButtonClick(5); }

}  // namespace kwirl
