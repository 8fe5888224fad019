// SPDX-License-Identifier: MIT
#pragma once
// A sentence of the client's in the user's language, with the portal's words
// or numbers put into its blanks ("%s", or "%1$s" where a language needs them
// in another order).

#include <wx/string.h>

#include <string>

#include "wx_text.h"

namespace kwirl {

template <typename... Texts>
std::string fillIn(const std::string& pattern, const Texts&... texts) {
    return fromWx(wxString::Format(toWx(pattern), toWx(texts)...));
}

}  // namespace kwirl
