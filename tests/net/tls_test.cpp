// SPDX-License-Identifier: MIT
// The HTTP client over TLS, against servers on loopback with certificates of
// the test's own authority.
#include <gtest/gtest.h>

#include <optional>

#include "NMHttp.h"
#include "failure_of.h"
#include "http_test_server.h"
#include "loopback_http_server.h"
#include "loopback_tls.h"
#include "trusted_certificates.h"

namespace kwirl {
namespace {

using test::clientFailureOf;
using test::LoopbackServer;
using test::ScriptedHttpServer;
using test::TestAuthority;
using test::TestCertificate;

std::string okReply(const std::string& body) {
    return "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\n\r\n" + body;
}

class TlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        trustAlso(authority.file());
        http.TimeOut = 5000;
        http.InputFileMode = false;
    }
    void TearDown() override { trustAlso(""); }

    // A TLS server showing `certificate` that answers every request with `reply`.
    static std::unique_ptr<LoopbackServer> serverShowing(TestCertificate certificate, const std::string& reply) {
        return std::make_unique<LoopbackServer>(
            0, test::tlsResponder(std::move(certificate), [reply](const std::string&) { return reply; }));
    }
    static std::string secureAddress(const LoopbackServer& server, const std::string& path) {
        return "https://127.0.0.1:" + std::to_string(server.port()) + path;
    }

    static inline const TestAuthority authority;
    TNMHTTP http;
};

// The request, byte for byte as in clear text, goes inside the tunnel; the
// Host line names the port, as it is not https's own.
TEST_F(TlsTest, TheRequestGoesInsideTheTunnelByteForByte) {
    std::string received;
    LoopbackServer server(0, test::tlsResponder(authority.issue({"127.0.0.1"}), [&received](const std::string& head) {
                              received = head;
                              return okReply("<kk ref=...");
                          }));
    http.Get(secureAddress(server, "/index.php?name=servstop"));
    ASSERT_EQ(server.requestLines().size(), 1u);
    EXPECT_EQ(received, "GET /index.php?name=servstop HTTP/1.0\r\nHost: 127.0.0.1:" + std::to_string(server.port()) +
                            "\r\nAccept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff\r\n"
                            "Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript\r\n"
                            "Content-type: application/x-www-form-urlencoded\r\n\r\n");
    EXPECT_EQ(http.StatusCode, 200);
    EXPECT_EQ(http.Body, "<kk ref=...");
}

// A certificate that fails its check ends the exchange before anything is
// sent, each failure of its own kind.
TEST_F(TlsTest, ACertificateThatFailsItsCheckEndsTheExchangeUnsent) {
    const struct {
        const char* name;
        TestCertificate certificate;
        std::optional<Failure> failure;
    } cases[] = {
        {"trusted, for this host", authority.issue({"127.0.0.1"}), std::nullopt},
        {"no authority vouches for it", TestAuthority::selfSigned({"127.0.0.1"}), Failure::TlsUntrusted},
        {"for other hosts", authority.issue({"10.0.0.7", "portal.example"}), Failure::TlsWrongHost},
        {"expired yesterday", authority.issue({"127.0.0.1"}, {-30 * 86400, -86400}), Failure::TlsExpired},
        {"valid from tomorrow", authority.issue({"127.0.0.1"}, {86400, 30 * 86400}), Failure::TlsExpired},
    };
    for (const auto& c : cases) {
        const auto server = serverShowing(c.certificate, okReply("catalogue"));
        EXPECT_EQ(clientFailureOf([&] { http.Get(secureAddress(*server, "/")); }), c.failure) << c.name;
        EXPECT_EQ(server->requestLines().size(), c.failure ? 0u : 1u) << c.name;
    }
}

// A server that ends the handshake half way, or never answers it: the
// exchange ends, the second within the time-out of a wait.
TEST_F(TlsTest, AHandshakeCutShortOrNeverAnsweredEndsTheExchange) {
    LoopbackServer cut(0, [](LoopbackServer&, int fd) {
        char greeting[64];
        (void)::recv(fd, greeting, sizeof greeting, 0);  // part of the client's greeting, then the close
    });
    EXPECT_EQ(clientFailureOf([&] { http.Get(secureAddress(cut, "/")); }), Failure::TlsHandshakeFailed);

    LoopbackServer silent(0, [](LoopbackServer&, int fd) { test::waitForClose(fd); });
    http.TimeOut = 300;
    EXPECT_EQ(clientFailureOf([&] { http.Get(secureAddress(silent, "/")); }), Failure::TlsHandshakeTimedOut);
    EXPECT_TRUE(http.TimedOut);
}

// A server that moved to https is followed there; from https, a redirect
// never leads back to clear text.
TEST_F(TlsTest, RedirectsGoFromHttpToHttpsButNeverBack) {
    const auto secure = serverShowing(authority.issue({"127.0.0.1"}), okReply("moved here"));
    ScriptedHttpServer plain({"HTTP/1.0 301 Moved\r\nLocation: " + secureAddress(*secure, "/catalogue") + "\r\n\r\n"});
    http.Get(plain.address("/catalogue"));
    EXPECT_EQ(http.Body, "moved here");
    EXPECT_EQ(secure->requestLines().at(0), "GET /catalogue HTTP/1.0");

    ScriptedHttpServer clear({okReply("in clear text")});
    const auto back = serverShowing(authority.issue({"127.0.0.1"}),
                                    "HTTP/1.0 302 Found\r\nLocation: " + clear.address("/") + "\r\n\r\n");
    EXPECT_EQ(clientFailureOf([&] { http.Get(secureAddress(*back, "/")); }), Failure::RedirectRefused);
    EXPECT_TRUE(clear.requests().empty());
}

}  // namespace
}  // namespace kwirl
