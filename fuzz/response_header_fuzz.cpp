// SPDX-License-Identifier: MIT
// Any bytes as a server's reply, read by the HTTP client through a real socket
// on loopback: a reply or a clear exception, never a crash, a hang or a leak.
// An input whose first byte is odd comes through TLS, from a front of the
// server with a certificate of the run's own authority.

#include <cstdint>
#include <mutex>
#include <string>

#include "NMHttp.h"
#include "loopback_http_server.h"
#include "loopback_tls.h"
#include "trusted_certificates.h"

namespace {

// One server for the whole run; it answers each connection with the current input and closes.
class ReplyServer {
public:
    ReplyServer()
        : server_(0, [this](kwirl::test::LoopbackServer&, int fd) {
              kwirl::test::readRequestHead(fd);
              std::string reply;
              {
                  std::lock_guard lock(mutex_);
                  reply = reply_;
              }
              kwirl::test::sendAll(fd, reply);
          }) {}
    std::uint16_t port() const { return server_.port(); }
    void setReply(std::string reply) {
        std::lock_guard lock(mutex_);
        reply_ = std::move(reply);
    }

private:
    std::mutex mutex_;
    std::string reply_;
    kwirl::test::LoopbackServer server_;  // last: it goes first, before what its threads read
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static ReplyServer server;
    static const kwirl::test::TestAuthority authority;
    static kwirl::test::LoopbackServer front(
        0, kwirl::test::tlsFrontOf(authority.issue({"127.0.0.1"}), static_cast<std::uint16_t>(server.port())));
    kwirl::trustAlso(authority.file());
    const bool overTls = size > 0 && (data[0] & 1) != 0;
    server.setReply(std::string(reinterpret_cast<const char*>(data), size));
    kwirl::TNMHTTP http;
    http.TimeOut = 2000;
    http.OnRedirect = [](bool& handled) { handled = true; };  // one exchange per input
    try {
        http.Get(overTls ? "https://127.0.0.1:" + std::to_string(front.port()) + "/"
                         : "http://127.0.0.1:" + std::to_string(server.port()) + "/");
        if (http.Header.size() > kwirl::TNMHTTP::kMostHeaderBytes) __builtin_trap();
    } catch (const std::exception&) {
    }
    if (http.Connected) __builtin_trap();  // closed in every case
    return 0;
}
