// SPDX-License-Identifier: MIT
#include "site_of_address.h"

#include <algorithm>
#include <string_view>

#include "portal_host.h"

namespace kwirl {

namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), lowerAscii);
    return lower;
}

// What follows "http://" or "https://", or nothing for another scheme.
std::string_view afterWebScheme(std::string_view address) {
    for (const std::string_view scheme : {"http://", "https://"}) {
        if (address.size() >= scheme.size() && lowerCase(address.substr(0, scheme.size())) == scheme) {
            return address.substr(scheme.size());
        }
    }
    return {};
}

}  // namespace

std::string hostOfAddress(const std::string& address) {
    std::string_view authority = afterWebScheme(address);
    authority = authority.substr(0, authority.find_first_of("/?#\\"));
    if (const auto at = authority.rfind('@'); at != std::string_view::npos) authority.remove_prefix(at + 1);
    if (authority.starts_with('[')) {
        const auto close = authority.find(']');
        return close == std::string_view::npos ? std::string() : lowerCase(authority.substr(1, close - 1));
    }
    std::string host = lowerCase(authority.substr(0, authority.find(':')));
    // "portal.org." names the same host as "portal.org".
    if (host.ends_with('.')) host.pop_back();
    return host;
}

bool isWithinDomain(const std::string& host, const std::string& domain) {
    if (host.empty() || domain.empty()) return false;
    const std::string name = lowerCase(domain);
    return host == name ||
           (host.size() > name.size() && host.ends_with(name) && host[host.size() - name.size() - 1] == '.');
}

bool isPortalSiteAddress(const std::string& address) {
    return isWithinDomain(hostOfAddress(address), hostOfAddress(portalSchemePrefix() + portalDomain()));
}

}  // namespace kwirl
