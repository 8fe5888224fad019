// SPDX-License-Identifier: MIT
#pragma once
// The portal's rules for the window, without a widget: what the six number
// buttons show, do and are called on the page shown, and the page index of a
// paged list, as each navigation of the top page or a portal frame sets them.
// The window renders what this holds.

#include <array>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "captions.h"

namespace kwirl {

// What a number button shows, or does: Nothing only does (on a page of no class the buttons act on).
enum class NumberMode { Shortcut, Pieces, Paging, Nothing };

// What a screen reader says for a control: its name and what it does now.
struct AccessibleText {
    std::string name;
    std::string description;

    bool operator==(const AccessibleText&) const = default;
};

// The catalogue's library the drop-down has chosen: the number buttons'
// shortcuts open it, and their names say it.
struct CatalogueLibrary {
    std::string name;
    std::string address;
};
// None: the drop-down shows the built-in list, or a position past the catalogue.
using ChosenLibrary = std::optional<CatalogueLibrary>;

// One navigation a number button's click makes. Each is tried on its own: one
// that fails leaves the next to run.
struct NumberButtonStep {
    enum class Kind { Level, Page, Shortcut } kind;
    bool stopFirst = false;
    std::int32_t page = 0;  // the page a Page step shows
    std::string address;
    std::exception_ptr failure;  // the address could not be made
};

struct NumberButtonClick {
    int presetDivisor = 0;  // the progress preset: 100 divided by this
    std::vector<NumberButtonStep> steps;
};

class TPageState {
public:
    // The current page of a paged list, 0-based (the window's PageIndex).
    std::int32_t pageIndex = 0;

    NumberMode mode() const { return mode_; }
    const NumberCaptions& captions() const { return captions_; }
    void setCaptions(NumberMode mode, const NumberCaptions& captions);

    // A navigation of the top page or of a frame to `address`. Only the
    // portal's site (or the empty page) sets anything: an advert's frame may
    // name any address it likes. Raises, after the captions of the tests
    // before it, for a page offset that is no number.
    void follow(const std::string& address);

    // What a click on number button `button` (0 to 5) does on the page at
    // `current`: the tests of its address, each on its own.
    NumberButtonClick click(std::size_t button, const std::string& current, const ChosenLibrary& chosen) const;
    // What a step changes here before it navigates.
    void take(const NumberButtonStep& step);

    // The load ended on `address`: a load given up later goes back to it.
    void pageShown(const std::string& address);
    // A load was given up and the view shows `current`: true when that is the
    // page shown last and the buttons went back to it.
    bool backToShownPage(const std::string& current);

    // What each number button is called and does on the page at `current`.
    std::array<AccessibleText, 6> describe(const std::string& current, const ChosenLibrary& chosen) const;

private:
    NumberMode mode_ = NumberMode::Shortcut;
    NumberCaptions captions_ = shortcutCaptions();
    struct ShownPage {
        std::string address;
        NumberMode mode;
        NumberCaptions captions;
        std::int32_t pageIndex;
    };
    std::optional<ShownPage> shown_;
};

// Number button `button` (0 to 5) showing `caption` in `mode`; `library` is
// the name of the library it opens in shortcut mode.
AccessibleText numberButtonText(NumberMode mode, std::size_t button, const std::string& caption,
                                const std::string& library);

}  // namespace kwirl
