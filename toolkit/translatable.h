// SPDX-License-Identifier: MIT
#pragma once
// Marks a text for the translations' template where it is written into a table
// (xgettext --keyword=translatable): the code that shows it looks it up with
// tr() (translate.h) at that moment, in the user's language.

namespace kwirl {

constexpr const char* translatable(const char* text) { return text; }

}  // namespace kwirl
