// SPDX-License-Identifier: MIT
#pragma once
// Byte strings meet the toolkit's strings only here. Text is UTF-8; bytes
// that are not UTF-8 are taken one for one rather than lost.

#include <wx/string.h>

#include <string>

namespace kwirl {

inline wxString toWx(const std::string& text) {
    wxString converted = wxString::FromUTF8(text.data(), text.size());
    if (converted.empty() && !text.empty()) converted = wxString(text.data(), wxConvISO8859_1, text.size());
    return converted;
}

inline std::string fromWx(const wxString& text) {
    const auto utf8 = text.utf8_str();
    return std::string(utf8.data(), utf8.length());
}

}  // namespace kwirl
