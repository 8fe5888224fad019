// SPDX-License-Identifier: MIT
// Any bytes as a server's reply, read by the HTTP client through a real socket
// on loopback: a reply or a clear exception, never a crash, a hang or a leak.
// An input whose first byte is odd comes through TLS, from a front of the
// server with a certificate of the run's own authority.

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "NMHttp.h"
#include "loopback_tls.h"
#include "trusted_certificates.h"

namespace {

// One server thread for the whole run; it answers each connection with the
// current input and closes.
class ReplyServer {
public:
    ReplyServer() {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        int yes = 1;
        setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(listener_, 16);
        socklen_t length = sizeof address;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        std::thread([this] { serve(); }).detach();
    }
    int port() const { return port_; }
    void setReply(std::string reply) {
        std::lock_guard lock(mutex_);
        reply_ = std::move(reply);
    }

private:
    void serve() {
        for (;;) {
            const int fd = accept(listener_, nullptr, nullptr);
            if (fd < 0) continue;
            std::string reply;
            {
                std::lock_guard lock(mutex_);
                reply = reply_;
            }
            char request[4096];
            std::string head;
            while (head.find("\r\n\r\n") == std::string::npos) {
                const auto got = recv(fd, request, sizeof request, 0);
                if (got <= 0) break;
                head.append(request, static_cast<std::size_t>(got));
            }
            for (std::size_t sent = 0; sent < reply.size();) {
                const auto n = send(fd, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
                if (n <= 0) break;
                sent += static_cast<std::size_t>(n);
            }
            close(fd);
        }
    }
    int listener_ = -1;
    int port_ = 0;
    std::mutex mutex_;
    std::string reply_;
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
