// SPDX-License-Identifier: MIT
#include "page_state.h"

#include "address_classes.h"
#include "address_vocabulary.h"
#include "addresses.h"
#include "libraries.h"
#include "offset_parsing.h"
#include "site_of_address.h"
#include "text_ops.h"
#include "translate.h"

namespace kwirl {

namespace {

// What a click on `button` does on the page at `current`: the click's own
// tests, in its order, the first that holds.
NumberMode clickEffect(std::size_t button, const std::string& current) {
    const NumberButtonRule& rule = numberButtonRules()[button];
    if (isGameAddress(current)) return NumberMode::Pieces;
    if (rule.pagesWideLists ? isWidePagedListAddress(current) : isPagedListAddress(current)) return NumberMode::Paging;
    if (isNeutralAddress(current)) return NumberMode::Shortcut;
    return NumberMode::Nothing;
}

NumberCaptions captionsOf(NumberMode mode, std::int32_t pageIndex) {
    return mode == NumberMode::Pieces   ? piecesCaptions()
           : mode == NumberMode::Paging ? pagingCaptions(pageIndex)
                                        : shortcutCaptions();
}

// The address a step goes to, or why there is none.
template <class Make>
NumberButtonStep step(NumberButtonStep::Kind kind, bool stopFirst, std::int32_t page, Make&& make) {
    NumberButtonStep s{kind, stopFirst, page, {}, {}};
    try {
        s.address = make();
    } catch (...) {
        s.failure = std::current_exception();
    }
    return s;
}

}  // namespace

void TPageState::setCaptions(NumberMode mode, const NumberCaptions& captions) {
    mode_ = mode;
    captions_ = captions;
}

void TPageState::follow(const std::string& address) {
    if (address != "about:blank" && !isPortalSiteAddress(address)) return;
    if (holds(address, std::string(vocab::kScriptFalseToken))) return;
    if (isGameAddress(address)) setCaptions(NumberMode::Pieces, piecesCaptions());
    if (isWidePagedListAddress(address)) {
        pageIndex = pageIndexOfOffset(offsetText(address));
        setCaptions(NumberMode::Paging, pagingCaptions(pageIndex));
    }
    if (isNeutralAddress(address)) setCaptions(NumberMode::Shortcut, shortcutCaptions());
}

// One procedure for all six buttons: what a click does follows the class of
// the address shown, not the button's caption. A list that is also neutral
// pages, then opens the shortcut.
NumberButtonClick TPageState::click(std::size_t button, const std::string& current, const ChosenLibrary& chosen) const {
    using Kind = NumberButtonStep::Kind;
    const NumberButtonRule& rule = numberButtonRules()[button];
    NumberButtonClick click{rule.presetDivisor, {}};
    if (isGameAddress(current)) {
        const auto level = [&] { return appendParameter(current, vocab::kLevelKey, std::string(rule.level)); };
        click.steps.push_back(step(Kind::Level, rule.stopBeforeLevel, 0, level));
    }
    if (rule.pagesWideLists ? isWidePagedListAddress(current) : isPagedListAddress(current)) {
        const std::int32_t page = stepPage(rule.pageStep, pageIndex);
        const auto paged = [&] { return appendPageOffset(current, page); };
        click.steps.push_back(step(Kind::Page, true, page, paged));
    }
    if (isNeutralAddress(current)) {
        // A catalogue library opens at its first page: a list view without an
        // offset would be refused by the navigation filter.
        const auto library = [&] { return chosen ? withFirstPageOffset(chosen->address) : pageAddress(rule.shortcut); };
        click.steps.push_back(step(Kind::Shortcut, true, 0, library));
    }
    return click;
}

void TPageState::take(const NumberButtonStep& step) {
    switch (step.kind) {
        case NumberButtonStep::Kind::Level: return;
        case NumberButtonStep::Kind::Page:
            pageIndex = step.page;
            captions_[3] = pageNumberCaption(pageIndex);
            return;
        case NumberButtonStep::Kind::Shortcut: pageIndex = 0; return;
    }
}

void TPageState::pageShown(const std::string& address) { shown_ = ShownPage{address, mode_, captions_, pageIndex}; }

bool TPageState::backToShownPage(const std::string& current) {
    if (!shown_ || current != shown_->address) return false;  // the new page came after all
    pageIndex = shown_->pageIndex;
    setCaptions(shown_->mode, shown_->captions);
    return true;
}

// A button's name and description say what its click does now. Where that is
// not what its caption suggests (a page in a frame set the captions, or a
// load has not yet come), the caption leads the name, then what the click does.
std::array<AccessibleText, 6> TPageState::describe(const std::string& current, const ChosenLibrary& chosen) const {
    std::array<AccessibleText, 6> texts;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const NumberMode effect = clickEffect(i, current);
        const std::string library = effect != NumberMode::Shortcut ? std::string()
                                    : chosen                       ? chosen->name
                                             : std::string(builtInLibraryName(numberButtonRules()[i].shortcut));
        if (effect == mode_ || effect == NumberMode::Nothing) {
            texts[i] = numberButtonText(effect, i, captions_[i], library);
            continue;
        }
        const AccessibleText text = numberButtonText(effect, i, captionsOf(effect, pageIndex)[i], library);
        texts[i] = {fillIn(tr("%s: %s"), captions_[i], text.name), text.description};
    }
    return texts;
}

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

}  // namespace kwirl
