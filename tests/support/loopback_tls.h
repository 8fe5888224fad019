// SPDX-License-Identifier: MIT
#pragma once
// HTTPS on loopback for tests: a certificate made for the run, and a server
// handler that speaks TLS with it.

#include <gio/gio.h>

#include <functional>
#include <string>

#include "loopback_http_server.h"

namespace kwirl::test {

// A self-signed certificate for 127.0.0.1 and localhost, made now (with the
// openssl command), valid for a day, in a folder of its own that goes with it.
class LoopbackCertificate {
public:
    LoopbackCertificate();  // throws std::runtime_error when it cannot be made
    ~LoopbackCertificate();
    LoopbackCertificate(const LoopbackCertificate&) = delete;
    LoopbackCertificate& operator=(const LoopbackCertificate&) = delete;

    // The certificate alone, in PEM: what a client is told to trust.
    const std::string& pemFile() const { return pemFile_; }
    // The certificate with its key, for a server.
    GTlsCertificate* serverCertificate() const { return certificate_; }

private:
    std::string folder_;
    std::string pemFile_;
    GTlsCertificate* certificate_ = nullptr;
};

// An HTTPS server: the handshake with `certificate`, then each request's head
// recorded and answered with `respond(head)`. A client that refuses the
// certificate ends the connection in the handshake; nothing is recorded then.
LoopbackServer::ConnectionHandler tlsResponder(const LoopbackCertificate& certificate,
                                               std::function<std::string(const std::string& head)> respond);

}  // namespace kwirl::test
