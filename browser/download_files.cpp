// SPDX-License-Identifier: MIT
#include "download_files.h"

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
    if (name.find_first_not_of('.') == std::string::npos) return std::string(kFallbackName);
    if (name.size() <= kLongestDownloadName) return name;
    const std::size_t dot = name.rfind('.');
    const std::string_view extension = dot != std::string::npos && dot > 0 && name.size() - dot <= kLongestExtension
                                           ? std::string_view(name).substr(dot)
                                           : std::string_view();
    std::string cut(headOf(name, kLongestDownloadName - extension.size()));
    return cut + std::string(extension);
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
