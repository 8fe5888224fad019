// SPDX-License-Identifier: MIT
#pragma once
// The tests' portal on its port, over the build's scheme: for a portal reached
// over https, a TLS front on the port (its certificate one the client is told
// to trust) before the same handler on a plain server of its own.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "loopback_http_server.h"
#include "loopback_tls.h"
#include "portal_host.h"
#include "trusted_certificates.h"
#include "window_fixture.h"

namespace kwirl::test {

class TestPortal {
public:
    explicit TestPortal(LoopbackServer::ConnectionHandler handler)
        : behind_(portalScheme() == "https" ? 0 : testPortalPort(), std::move(handler)) {
        if (portalScheme() != "https") return;
        static const TestAuthority authority;
        static const TestCertificate certificate = authority.issue({nameOfHost(portalHost()), "localhost"});
        trustAlso(authority.file());
        front_ = std::make_unique<LoopbackServer>(testPortalPort(), tlsFrontOf(certificate, behind_.port()));
    }
    std::vector<std::string> requestLines() const { return behind_.requestLines(); }

private:
    LoopbackServer behind_;
    std::unique_ptr<LoopbackServer> front_;
};

}  // namespace kwirl::test
