// SPDX-License-Identifier: MIT
#pragma once
// D-Bus addresses as sessions hand them around: entries separated by ";",
// each a transport and its "key=value" options separated by ",".

#include <string>
#include <vector>

namespace kwirl {

// The socket files a bus address names (the "path" of its "unix:" entries).
std::vector<std::string> socketPathsOf(const std::string& address);

// Whether a socket file the address names is gone: the engine's sandbox would
// try to bind it into the web process, and the engine would abort.
bool namesAMissingSocket(const std::string& address);

}  // namespace kwirl
