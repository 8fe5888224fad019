// SPDX-License-Identifier: MIT
#pragma once
// Which site an address belongs to: the portal's own, or another. The portal's
// site is its domain and every host under it, on any port and either scheme.

#include <string>

namespace kwirl {

// The host name of an http or https address, in lower case, without user
// information, port or brackets; empty for any other address.
std::string hostOfAddress(const std::string& address);

// Whether `host` is the name `domain` or a host under it ("www.x.org" under "x.org").
bool isWithinDomain(const std::string& host, const std::string& domain);

// Whether an http or https address is on the portal's domain.
bool isPortalSiteAddress(const std::string& address);

}  // namespace kwirl
