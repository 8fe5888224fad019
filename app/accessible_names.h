// SPDX-License-Identifier: MIT
#pragma once
// What a screen reader says for each toolbar control: a name and what the
// control does now. The number buttons change their job with the page shown,
// so their names follow their captions' mode.

#include <cstddef>
#include <string>

#include "captions.h"

namespace kwirl {

struct AccessibleText {
    std::string name;
    std::string description;
};

// What a number button shows, or does: Nothing only does (on a page of no class the buttons act on).
enum class NumberMode { Shortcut, Pieces, Paging, Nothing };

// Number button `button` (0 to 5) showing `caption` in `mode`; `library` is
// the name of the library it opens in shortcut mode.
AccessibleText numberButtonText(NumberMode mode, std::size_t button, const std::string& caption,
                                const std::string& library);

}  // namespace kwirl
