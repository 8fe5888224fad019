// SPDX-License-Identifier: MIT
#pragma once
// The user's language for the client's own words.

namespace kwirl {

// Takes the locale the environment names (LANG, LC_*, LANGUAGE) for the whole
// process and tells gettext where the client's catalogues are. Called first in
// main, before any library reads the locale or any text is looked up.
void useTheUsersLanguage();

}  // namespace kwirl
