// SPDX-License-Identifier: MIT
#pragma once
// The addresses a page may hand the client to open or to follow: the web's
// own, http and https with a host. A script address, data, a local file or any
// other scheme is never opened for a page.

#include <cstddef>
#include <string>

namespace kwirl {

// Longer than any page's address; a longer one is not taken from a page.
inline constexpr std::size_t kLongestPageAddress = 64 * 1024;

// Whether `address` is a well-formed http or https address with a host.
bool isWebAddress(const std::string& address);

}  // namespace kwirl
