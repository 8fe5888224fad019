// SPDX-License-Identifier: MIT
#pragma once
// A server on 127.0.0.1 for tests: each connection runs a handler of the
// test's choosing on a thread of its own. Requests' first lines are recorded.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kwirl::test {

class LoopbackServer {
public:
    // Handles one accepted connection; the server closes it afterwards.
    using ConnectionHandler = std::function<void(LoopbackServer& server, int fd)>;

    // Port 0 picks a free port.
    LoopbackServer(std::uint16_t port, ConnectionHandler handler);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    std::uint16_t port() const { return port_; }
    std::vector<std::string> requestLines() const;
    // Handlers record what they received through this.
    void recordRequestLine(const std::string& line);
    // Ends a connection with a reset instead of a close.
    void resetConnection(int fd);

private:
    void acceptLoop();

    int listener_ = -1;
    int stopPipe_[2] = {-1, -1};
    std::uint16_t port_ = 0;
    ConnectionHandler handler_;
    std::thread acceptor_;
    mutable std::mutex mutex_;
    std::vector<std::string> requestLines_;
    struct Connection {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> ended;
    };
    std::vector<Connection> connections_;
    std::vector<int> openFds_;
    std::vector<int> resetFds_;
};

// A listening socket on 127.0.0.1 with `backlog` places; port 0 picks a free
// one, told in `chosen`. Throws std::runtime_error when it cannot listen.
int listenOnLoopback(std::uint16_t port, int backlog, std::uint16_t& chosen);
// A loopback port on which nothing listens (just now).
std::uint16_t unusedLoopbackPort();
// Reads a request head up to its blank line (at most 64 KiB); empty when the peer closed first.
std::string readRequestHead(int fd);
// Sends all of `bytes`; false when the peer went away.
bool sendAll(int fd, const std::string& bytes);
// Reads and drops whatever comes until the peer closes the connection (or resets it).
void waitForClose(int fd);
// An HTTP server: each request's head is recorded and answered with `respond(head)`.
LoopbackServer::ConnectionHandler httpResponder(std::function<std::string(const std::string& head)> respond);
// A 200 reply with an HTML body and Connection: close.
std::string htmlReply(const std::string& body);

}  // namespace kwirl::test
