// SPDX-License-Identifier: MIT
#include "accessible_names.h"

#include <array>

#include "Main.h"
#include "address_classes.h"
#include "accessible.h"
#include "catalogue_entry.h"
#include "libraries.h"
#include "toolbar_buttons.h"
#include "translate.h"
#include "wx_text.h"

namespace kwirl {

AccessibleText numberButtonText(NumberMode mode, std::size_t button, const std::string& caption,
                                const std::string& library) {
    switch (mode) {
        case NumberMode::Shortcut:
            return {fillIn(tr("Library %s: %s"), caption, library), tr("Opens this library's list of puzzles")};
        case NumberMode::Pieces:
            return {fillIn(tr("%s pieces"), caption), fillIn(tr("Plays this puzzle cut into %s pieces"), caption)};
        case NumberMode::Nothing: return {caption, tr("Does nothing on this page")};
        case NumberMode::Paging: break;
    }
    switch (button) {
        case 0: return {tr("First page"), tr("Shows the first page of this list")};
        case 1: return {tr("Ten pages back"), tr("Goes back ten pages in this list")};
        case 2: return {tr("Previous page"), tr("Goes back one page in this list")};
        case 3: return {fillIn(tr("Page %s"), caption), tr("Shows this page of the list again")};
        case 4: return {tr("Next page"), tr("Goes on to the next page of this list")};
        default: return {tr("Ten pages on"), tr("Goes on ten pages in this list")};
    }
}

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

// The library a number button opens in shortcut mode: the drop-down's choice
// when the catalogue has it, the button's own library otherwise.
std::string TFrm::shortcutLibraryName(std::size_t button) const {
    const int item = CB->GetSelection();
    if (hasCatalogueEntry(CatalogueLoaded, CatalogueCount, item)) return CatalogueNames[static_cast<std::size_t>(item)];
    return std::string(builtInLibraryName(numberButtonRules()[button].shortcut));
}

// What a click on number button `button` does on the page shown: the same
// tests of its address, in the same order, as the click's handler.
NumberMode TFrm::clickEffect(std::size_t button) const {
    const std::string current = CBW->LocationURL();
    const NumberButtonRule& rule = numberButtonRules()[button];
    if (isGameAddress(current)) return NumberMode::Pieces;
    if (rule.pagesWideLists ? isWidePagedListAddress(current) : isPagedListAddress(current)) return NumberMode::Paging;
    if (isNeutralAddress(current)) return NumberMode::Shortcut;
    return NumberMode::Nothing;
}

// A button's name and description say what its click does now. Where that is
// not what its caption suggests (a page in a frame set the captions, or a
// load has not yet come), the caption leads the name, then what the click does.
void TFrm::describeNumberButtons() {
    const auto buttons = numberButtons();
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const std::string caption = fromWx(buttons[i]->GetLabel());
        const NumberMode effect = clickEffect(i);
        const std::string library = effect == NumberMode::Shortcut ? shortcutLibraryName(i) : std::string();
        if (effect == numberMode_ || effect == NumberMode::Nothing) {
            const AccessibleText text = numberButtonText(effect, i, caption, library);
            setAccessibleText(buttons[i], text.name, text.description);
            continue;
        }
        const NumberCaptions meant = effect == NumberMode::Shortcut ? shortcutCaptions()
                                     : effect == NumberMode::Pieces ? piecesCaptions()
                                                                    : pagingCaptions(PageIndex);
        const AccessibleText text = numberButtonText(effect, i, meant[i], library);
        setAccessibleText(buttons[i], fillIn(tr("%s: %s"), caption, text.name), text.description);
    }
}

}  // namespace kwirl
