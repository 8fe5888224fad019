// SPDX-License-Identifier: MIT
#pragma once
// The portal host, domain and scheme, fixed when the client is built.

#include <string>

namespace kwirl {

// The www form of the portal's host, possibly with ":port".
const std::string& portalHost();
// The portal host without its leading "www.": used only by the catalogue fetch.
const std::string& portalDomain();
// How the portal is reached: "http" or "https".
const std::string& portalScheme();
// What every portal address begins with: the scheme and "://".
std::string portalSchemePrefix();
// The portal as the player is told of it: the scheme, "://" and the host.
std::string portalShownName();

// The domain of a host: the host without a leading "www.".
std::string domainOfHost(const std::string& host);

// The name of a host, as it is looked up: the host without its ":port" (an
// address in brackets keeps its own colons).
std::string nameOfHost(const std::string& host);

}  // namespace kwirl
