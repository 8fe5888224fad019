// SPDX-License-Identifier: MIT
#include "portal_host.h"

#ifndef KWIRL_PORTAL_HOST
#error "KWIRL_PORTAL_HOST must be defined by the build"
#endif
#ifndef KWIRL_PORTAL_SCHEME
#error "KWIRL_PORTAL_SCHEME must be defined by the build"
#endif

namespace kwirl {

std::string domainOfHost(const std::string& host) {
    static const std::string www = "www.";
    return host.starts_with(www) ? host.substr(www.size()) : host;
}

std::string nameOfHost(const std::string& host) {
    const auto colon = host.rfind(':');
    const bool withPort = colon != std::string::npos && host.find(']', colon) == std::string::npos;
    return withPort ? host.substr(0, colon) : host;
}

const std::string& portalHost() {
    static const std::string host = KWIRL_PORTAL_HOST;
    return host;
}

const std::string& portalDomain() {
    static const std::string domain = domainOfHost(portalHost());
    return domain;
}

const std::string& portalScheme() {
    static const std::string scheme = KWIRL_PORTAL_SCHEME;
    return scheme;
}

std::string portalSchemePrefix() { return portalScheme() + "://"; }

std::string portalShownName() { return portalSchemePrefix() + portalHost(); }

}  // namespace kwirl
