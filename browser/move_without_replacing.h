// SPDX-License-Identifier: MIT
#pragma once
// Giving a file a new name only while no other file has that name.

#include <string>

namespace kwirl {

// Renames `from` to `to` unless a file is there already: then false, with
// errno EEXIST. On a file system that cannot refuse to replace, `to` is looked
// at first. False with errno set on any other failure.
bool moveWithoutReplacing(const std::string& from, const std::string& to);

}  // namespace kwirl
