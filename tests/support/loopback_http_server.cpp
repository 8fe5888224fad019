// SPDX-License-Identifier: MIT
#include "loopback_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <glib.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <stdexcept>

namespace kwirl::test {

int listenOnLoopback(std::uint16_t port, int backlog, std::uint16_t& chosen) {
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int yes = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, backlog) != 0) {
        close(listener);
        throw std::runtime_error("test server cannot listen on port " + std::to_string(port));
    }
    socklen_t length = sizeof address;
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    chosen = ntohs(address.sin_port);
    return listener;
}

LoopbackServer::LoopbackServer(std::uint16_t port, ConnectionHandler handler) : handler_(std::move(handler)) {
    listener_ = listenOnLoopback(port, 64, port_);
    if (pipe(stopPipe_) != 0) throw std::runtime_error("test server cannot make its stop pipe");
    acceptor_ = std::thread([this] { acceptLoop(); });
}

LoopbackServer::~LoopbackServer() {
    const char stop = 's';
    [[maybe_unused]] auto written = write(stopPipe_[1], &stop, 1);
    acceptor_.join();
    {
        std::lock_guard lock(mutex_);
        for (int fd : openFds_) shutdown(fd, SHUT_RDWR);
    }
    for (auto& connection : connections_) connection.thread.join();
    close(listener_);
    close(stopPipe_[0]);
    close(stopPipe_[1]);
}

void LoopbackServer::acceptLoop() {
    for (;;) {
        pollfd fds[2] = {{listener_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) continue;
        if (fds[1].revents) return;
        const int fd = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        // The threads of connections that ended go as new ones come: a server
        // that answers a fuzzer's thousands of connections keeps a few.
        std::erase_if(connections_, [](Connection& connection) {
            if (!*connection.ended) return false;
            connection.thread.join();
            return true;
        });
        std::lock_guard lock(mutex_);
        openFds_.push_back(fd);
        auto ended = std::make_shared<std::atomic<bool>>(false);
        connections_.push_back({std::thread([this, fd, ended] {
                                    handler_(*this, fd);
                                    {
                                        std::lock_guard connectionLock(mutex_);
                                        if (std::find(resetFds_.begin(), resetFds_.end(), fd) == resetFds_.end()) {
                                            openFds_.erase(std::find(openFds_.begin(), openFds_.end(), fd));
                                            shutdown(fd, SHUT_WR);
                                            close(fd);
                                        }
                                    }
                                    *ended = true;
                                }),
                                ended});
    }
}

void LoopbackServer::resetConnection(int fd) {
    const linger now{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_LINGER, &now, sizeof now);
    std::lock_guard lock(mutex_);
    resetFds_.push_back(fd);
    openFds_.erase(std::find(openFds_.begin(), openFds_.end(), fd));
    close(fd);
}

std::vector<std::string> LoopbackServer::requestLines() const {
    std::lock_guard lock(mutex_);
    return requestLines_;
}

void LoopbackServer::recordRequestLine(const std::string& line) {
    {
        std::lock_guard lock(mutex_);
        requestLines_.push_back(line);
    }
    g_main_context_wakeup(nullptr);  // a test waiting in the main loop looks again
}

std::uint16_t unusedLoopbackPort() {
    std::uint16_t port = 0;
    close(listenOnLoopback(0, 1, port));
    return port;
}

std::string readRequestHead(int fd) {
    constexpr std::size_t kMostHead = 64 * 1024;
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < kMostHead) {
        const auto got = recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        head.append(buffer, static_cast<std::size_t>(got));
    }
    return head;
}

bool sendAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto sent = send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (sent <= 0) return false;
        done += static_cast<std::size_t>(sent);
    }
    return true;
}

void waitForClose(int fd) {
    char byte;
    while (recv(fd, &byte, 1, 0) > 0) {
    }
}

LoopbackServer::ConnectionHandler httpResponder(std::function<std::string(const std::string& head)> respond) {
    return [respond](LoopbackServer& server, int fd) {
        const std::string head = readRequestHead(fd);
        if (head.empty()) return;
        server.recordRequestLine(head.substr(0, head.find("\r\n")));
        sendAll(fd, respond(head));
    };
}

std::string htmlReply(const std::string& body) {
    return "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

}  // namespace kwirl::test
