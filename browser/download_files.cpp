// SPDX-License-Identifier: MIT
#include "download_files.h"

#include <glib.h>

#include "translate.h"

namespace kwirl {

namespace {

constexpr std::string_view kFallbackName = "download";
// Extensions longer than this are no extensions worth keeping at a cut.
constexpr std::size_t kLongestExtension = 16;

bool isControl(unsigned char c) { return c < 0x20 || c == 0x7f; }
bool isContinuationByte(unsigned char c) { return (c & 0xc0) == 0x80; }

// The first `size` bytes of `text`, not cutting a UTF-8 character in two.
std::string_view headOf(std::string_view text, std::size_t size) {
    if (size >= text.size()) return text;
    while (size > 0 && isContinuationByte(static_cast<unsigned char>(text[size]))) --size;
    return text.substr(0, size);
}

// The text with each byte that is no part of a UTF-8 character replaced by
// U+FFFD: a file name shown and written as text.
std::string validUtf8(const std::string& text) {
    gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
    std::string result(valid);
    g_free(valid);
    return result;
}

}  // namespace

std::string downloadFileName(std::string_view suggested) {
    const std::size_t slash = suggested.find_last_of("/\\");
    if (slash != std::string_view::npos) suggested.remove_prefix(slash + 1);
    std::string name;
    for (const char c : suggested) {
        if (!isControl(static_cast<unsigned char>(c))) name += c;
    }
    const auto first = name.find_first_not_of(' ');
    name = first == std::string::npos ? std::string() : name.substr(first, name.find_last_not_of(' ') - first + 1);
    name = validUtf8(name);
    if (name.size() > kLongestDownloadName) {
        const std::size_t dot = name.rfind('.');
        const std::string_view extension = dot != std::string::npos && dot > 0 && name.size() - dot <= kLongestExtension
                                               ? std::string_view(name).substr(dot)
                                               : std::string_view();
        name = std::string(headOf(name, kLongestDownloadName - extension.size())) + std::string(extension);
    }
    // Only dots, whole or cut, would name a folder or a hidden nothing.
    if (name.find_first_not_of('.') == std::string::npos) return std::string(kFallbackName);
    return name;
}

std::string downloadFailureText(DownloadFailure failure, std::string_view detail) {
    switch (failure) {
        case DownloadFailure::DroppedByPerson: return {};
        case DownloadFailure::Destination:
            return tr(
                "The file could not be written there: a file of that name exists already, or the folder "
                "cannot be written to.");
        case DownloadFailure::Network: return fillIn(tr("The transfer from the portal broke off (%s)."), detail);
        case DownloadFailure::Other: break;
    }
    return fillIn(tr("Something went wrong while saving the file (%s)."), detail);
}

}  // namespace kwirl
