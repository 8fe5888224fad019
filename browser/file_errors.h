// SPDX-License-Identifier: MIT
#pragma once
// Why a file could not be written, in a person's words, from what the system
// said: its error number, or the text of a failure that carries one.

#include <optional>
#include <string>
#include <string_view>

namespace kwirl {

// The cause of error number `error` (errno) when writing a file into a folder
// that exists or not (a missing entry in a folder that exists is no missing folder).
std::string fileWriteFailureText(int error, bool folderExists = false);

// The cause named in a failure's message (a GError's, which quotes the system's
// text for its error number), when it names one of the causes told apart.
std::optional<std::string> fileWriteFailureIn(std::string_view message);

}  // namespace kwirl
