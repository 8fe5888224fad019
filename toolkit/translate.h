// SPDX-License-Identifier: MIT
#pragma once
// The client's own words in the user's language (GNU gettext, text domain
// "kwirl"). What the portal fixes (captions, addresses, library names, the
// window title) never passes through here.

#include <libintl.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace kwirl {

inline constexpr const char* kTextDomain = "kwirl";

inline std::string tr(const char* text) { return dgettext(kTextDomain, text); }

// A translated text with its named slots ("{name}") filled: a translation may
// put them in another order than the English.
inline std::string withSlots(std::string text,
                             std::initializer_list<std::pair<std::string_view, std::string_view>> slots) {
    for (const auto& [slot, value] : slots) {
        if (const auto at = text.find(slot); at != std::string::npos) text.replace(at, slot.size(), value);
    }
    return text;
}

}  // namespace kwirl
