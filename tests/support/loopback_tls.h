// SPDX-License-Identifier: MIT
#pragma once
// TLS on loopback for tests: certificates made on the spot by an authority of
// the test's own, and a server that answers inside the tunnel.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "loopback_http_server.h"

namespace kwirl::test {

// A certificate and its key, in PEM.
struct TestCertificate {
    std::string certificate;
    std::string key;
};

// Seconds from now, for a certificate's dates.
struct Validity {
    long from = -3600;
    long until = 86400;
};

class TestAuthority {
public:
    TestAuthority();
    // A server certificate for `names` (addresses or host names), signed by this authority.
    TestCertificate issue(const std::vector<std::string>& names, Validity validity = {}) const;
    // The same, signed by itself: no authority vouches for it.
    static TestCertificate selfSigned(const std::vector<std::string>& names);
    // The authority's own certificate, in a file of a folder of its own.
    const std::string& file() const { return file_; }

private:
    TestCertificate own_;
    std::string file_;
};

// A TLS server: the handshake with `certificate`, then each request's head,
// read inside the tunnel, is answered with `respond(head)`, its first line
// recorded. A handshake the client ends records nothing.
LoopbackServer::ConnectionHandler tlsResponder(TestCertificate certificate,
                                               std::function<std::string(const std::string& head)> respond);

// A TLS front of a plain server on `backendPort`: the handshake with
// `certificate`, then every byte the client sends inside the tunnel goes to the
// server and back, as it comes. The server's close ends the tunnel with TLS's
// own close; a reset ends it without.
LoopbackServer::ConnectionHandler tlsFrontOf(TestCertificate certificate, std::uint16_t backendPort);

// A certificate for 127.0.0.1 and localhost that no authority vouches for,
// made now, with its file in a folder of its own that goes with it: what a
// client is told to trust as it is (the web engine takes that very one).
class LoopbackCertificate {
public:
    LoopbackCertificate();
    ~LoopbackCertificate();
    LoopbackCertificate(const LoopbackCertificate&) = delete;
    LoopbackCertificate& operator=(const LoopbackCertificate&) = delete;

    const std::string& pemFile() const { return pemFile_; }
    const TestCertificate& certificate() const { return certificate_; }

private:
    TestCertificate certificate_;
    std::string pemFile_;
};

// An HTTPS server showing that certificate, as tlsResponder above.
inline LoopbackServer::ConnectionHandler tlsResponder(const LoopbackCertificate& certificate,
                                                      std::function<std::string(const std::string& head)> respond) {
    return tlsResponder(certificate.certificate(), std::move(respond));
}

}  // namespace kwirl::test
