// SPDX-License-Identifier: MIT
// What a screen reader says for each toolbar control: a name and what the
// control does now.

#include "Main.h"
#include "accessible.h"
#include "catalogue_entry.h"
#include "toolbar_buttons.h"
#include "translate.h"
#include "wx_text.h"

namespace kwirl {

// The page buttons keep their captions as their names (what a person sees is
// what a voice command says); what each does is its description.
void TFrm::describeFixedControls() {
    const auto rows = toolbarButtons();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (rows[r].caption && rows[r].description) {
            setAccessibleText(toolbarControls_[r], rows[r].caption, tr(rows[r].description));
        }
    }
    setAccessibleText(CB, tr("Library"), tr("Opens the list of the library chosen here"));
    setAccessibleText(PB, tr("Loading"), tr("How far the page being opened has loaded"));
    setAccessibleText(PBC, tr("Loading"), tr("How far the page being opened has loaded, at half the pace"));
}

// The catalogue's library the drop-down has chosen, if it has one there.
ChosenLibrary TFrm::chosenLibrary() const {
    const int item = CB->GetSelection();
    if (!hasCatalogueEntry(CatalogueLoaded, CatalogueCount, item)) return std::nullopt;
    const auto at = static_cast<std::size_t>(item);
    return CatalogueLibrary{CatalogueNames[at], CatalogueRefs[at]};
}

// The number buttons' captions, and their names for the page the view shows.
void TFrm::showPageState() {
    const auto buttons = numberButtons();
    const auto texts = page_.describe(CBW->LocationURL(), chosenLibrary());
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const wxString caption = toWx(page_.captions()[i]);
        if (buttons[i]->GetLabel() != caption) buttons[i]->SetLabel(caption);
        setAccessibleText(buttons[i], texts[i].name, texts[i].description);
    }
}

}  // namespace kwirl
