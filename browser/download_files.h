// SPDX-License-Identifier: MIT
#pragma once
// What a download is called and how its failure is told, decided without the
// engine: a name the server suggests is only a suggestion, never a path.

#include <string>
#include <string_view>

namespace kwirl {

// The file name offered to the person for a name the server suggested: its last
// part only (no folder, no ".."), without control characters, in valid UTF-8
// (a byte of no character becomes U+FFFD), at most kLongestDownloadName bytes
// (a whole character at the cut, the extension kept); "download" when nothing
// but dots is left.
std::string downloadFileName(std::string_view suggested);
inline constexpr std::size_t kLongestDownloadName = 200;

// Why a download failed, in a person's words, from the engine's error code and
// message; empty when the person dropped it.
enum class DownloadFailure { Network, Destination, DroppedByPerson, Other };
std::string downloadFailureText(DownloadFailure failure, std::string_view detail);

}  // namespace kwirl
