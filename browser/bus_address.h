// SPDX-License-Identifier: MIT
#pragma once
// D-Bus addresses as sessions hand them around: entries separated by ";",
// each a transport and its "key=value" options separated by ",".

#include <string>
#include <vector>

namespace kwirl {

// The socket files a bus address names (the "path" of its "unix:" entries).
std::vector<std::string> socketPathsOf(const std::string& address);

}  // namespace kwirl
