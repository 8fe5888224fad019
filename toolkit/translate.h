// SPDX-License-Identifier: MIT
#pragma once
// The client's own words in the user's language (GNU gettext, text domain
// "kwirl"). What the portal fixes (captions, addresses, library names, the
// window title) never passes through here.

#include <libintl.h>

#include <string>

namespace kwirl {

inline constexpr const char* kTextDomain = "kwirl";

inline std::string tr(const char* text) { return dgettext(kTextDomain, text); }

}  // namespace kwirl
