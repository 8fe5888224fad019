// SPDX-License-Identifier: MIT
#include "Main.h"
#include "address_classes.h"
#include "address_vocabulary.h"
#include "addresses.h"
#include "captions.h"
#include "catalogue_entry.h"
#include "guard.h"
#include "libraries.h"
#include "wx_text.h"

namespace kwirl {

// One procedure for all six buttons: what a click does follows the class of
// the address shown, not the button's caption.
void TFrm::numberButtonClick(int button) {
    const NumberButtonRule& rule = numberButtonRules()[static_cast<std::size_t>(button)];
    swallowFailures("answering a number button", [&] {
        progressPreset(rule.presetDivisor);
        const std::string current = CBW->LocationURL();

        if (isGameAddress(current)) {
            swallowFailures("opening the game at another level", [&] {
                const auto next = appendParameter(current, vocab::kLevelKey, std::string(rule.level));
                if (rule.stopBeforeLevel) CBW->Stop();
                CBW->Navigate(next);
            });
        }

        if (rule.pagesWideLists ? isWidePagedListAddress(current) : isPagedListAddress(current)) {
            PageIndex = stepPage(rule.pageStep, PageIndex);
            Button12->SetLabel(toWx(pageNumberCaption(PageIndex)));
            describeNumberButtons();
            swallowFailures("paging the list", [&] {
                const auto next = appendPageOffset(current, PageIndex);
                CBW->Stop();
                CBW->Navigate(next);
            });
        }

        if (isNeutralAddress(current)) {
            PageIndex = 0;
            swallowFailures("opening a library shortcut", [&] {
                const int item = CB->GetSelection();
                // A catalogue library opens at its first page: a list view
                // without an offset would be refused by the navigation filter.
                const auto next = hasCatalogueEntry(CatalogueLoaded, CatalogueCount, item)
                                      ? withFirstPageOffset(CatalogueRefs[static_cast<std::size_t>(item)])
                                      : pageAddress(rule.shortcut);
                CBW->Stop();
                CBW->Navigate(next);
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
