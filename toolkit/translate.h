// SPDX-License-Identifier: MIT
#pragma once
// The client's own words in the user's language (GNU gettext, text domain
// "kwirl"). What the portal fixes (captions, addresses, library names, the
// window title) never passes through here.

#include <glib.h>
#include <libintl.h>

#include <string>

namespace kwirl {

inline constexpr const char* kTextDomain = "kwirl";

inline std::string tr(const char* text) { return dgettext(kTextDomain, text); }

// A sentence of the client's in the user's language with words or numbers put
// into its blanks: "%s", or "%1$s" where a language needs them in another
// order. The build checks that each translation keeps the English's blanks.
template <typename... Texts>
std::string fillIn(const std::string& pattern, const Texts&... texts) {
    static_assert(sizeof...(Texts) > 0, "a sentence without blanks needs no filling");
    gchar* filled = g_strdup_printf(pattern.c_str(), std::string(texts).c_str()...);
    std::string result = filled ? filled : "";
    g_free(filled);
    return result;
}

}  // namespace kwirl
