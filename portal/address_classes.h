// SPDX-License-Identifier: MIT
#pragma once
// The four address classes: tests on the whole address text, shared by the
// number buttons and the navigation filter.

#include <string>

namespace kwirl {

// Holds "&op=game" and "&level=".
bool isGameAddress(const std::string& address);
// Holds "=puzzle" or "=pazzle", neither "&op=game" nor "&level=", and "&n=".
bool isPagedListAddress(const std::string& address);
// Holds "=pz6m" or "=pz1d", or is a paged list address.
bool isWidePagedListAddress(const std::string& address);
// Holds none of "=puzzle", "=pazzle" and "&op=game".
bool isNeutralAddress(const std::string& address);

}  // namespace kwirl
