// SPDX-License-Identifier: MIT
#include "loopback_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <glib.h>

#include <algorithm>
#include <stdexcept>

namespace kwirl::test {

LoopbackServer::LoopbackServer(std::uint16_t port, ConnectionHandler handler) : handler_(std::move(handler)) {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int yes = 1;
    setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener_, 64) != 0) {
        close(listener_);
        throw std::runtime_error("test server cannot listen on port " + std::to_string(port));
    }
    socklen_t length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
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
    for (auto& connection : connections_) connection.join();
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
        std::lock_guard lock(mutex_);
        openFds_.push_back(fd);
        connections_.emplace_back([this, fd] {
            handler_(*this, fd);
            {
                std::lock_guard connectionLock(mutex_);
                if (std::find(resetFds_.begin(), resetFds_.end(), fd) != resetFds_.end()) return;
                openFds_.erase(std::find(openFds_.begin(), openFds_.end(), fd));
            }
            shutdown(fd, SHUT_WR);
            close(fd);
        });
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
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
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
