// SPDX-License-Identifier: MIT
#pragma once
// An HTTP server for client tests: records every request whole (head and
// body) and answers each connection with the next scripted reply.

#include <sys/socket.h>

#include <mutex>
#include <string>
#include <vector>

#include "loopback_http_server.h"

namespace kwirl::test {

class ScriptedHttpServer {
public:
    // The last reply answers every connection past the list.
    explicit ScriptedHttpServer(std::vector<std::string> replies)
        : replies_(std::move(replies)), server_(0, [this](LoopbackServer&, int fd) { serve(fd); }) {}

    std::uint16_t port() const { return server_.port(); }
    // The http address of `path` on this server.
    std::string address(const std::string& path = "/") const {
        return "http://127.0.0.1:" + std::to_string(port()) + path;
    }
    std::vector<std::string> requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }
    std::string request(std::size_t i) const {
        const auto all = requests();
        return i < all.size() ? all[i] : std::string();
    }
    // The first line of request i.
    std::string requestLine(std::size_t i) const {
        const auto text = request(i);
        return text.substr(0, text.find("\r\n"));
    }

private:
    void serve(int fd) {
        std::string text = readRequestHead(fd);
        if (text.empty()) return;
        // A body announced by Content-Length is read too.
        const auto at = text.find("Content-Length: ");
        if (at != std::string::npos) {
            const std::size_t length = std::stoul(text.substr(at + 16));
            const std::size_t have = text.size() - (text.find("\r\n\r\n") + 4);
            char buffer[4096];
            for (std::size_t missing = length > have ? length - have : 0; missing > 0;) {
                const auto got = recv(fd, buffer, std::min(sizeof buffer, missing), 0);
                if (got <= 0) break;
                text.append(buffer, static_cast<std::size_t>(got));
                missing -= static_cast<std::size_t>(got);
            }
        }
        std::string reply;
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(text);
            reply = replies_.empty() ? std::string() : replies_[std::min(requests_.size(), replies_.size()) - 1];
        }
        sendAll(fd, reply);
    }

    std::vector<std::string> replies_;
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    LoopbackServer server_;  // last: stopped first, while the rest still stands
};

}  // namespace kwirl::test
