// SPDX-License-Identifier: MIT
// The HTTP client against hostile servers, one scripted loopback server per
// case. Each case runs in a process of its own, so that its time and its peak
// memory are its own; the table says what happened, and any case outside its
// bounds, or with another outcome than expected, fails the run.

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <algorithm>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "NMHttp.h"
#include "failure_of.h"
#include "fake_resolver.h"
#include "http_test_server.h"
#include "loopback_http_server.h"
#include "loopback_tls.h"
#include "trusted_certificates.h"

using namespace kwirl;
using test::failed;
using test::LoopbackServer;
using test::ScriptedHttpServer;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr double kMemoryScale = 4.0;  // the sanitizer's shadow memory
constexpr double kTimeScale = 3.0;
#else
constexpr double kMemoryScale = 1.0;
constexpr double kTimeScale = 1.0;
#endif

void drainRequest(int fd) { test::readRequestHead(fd); }

// Sends `bytes` one byte at a time, `pauseMs` apart (a slow network).
void trickle(int fd, const std::string& bytes, int pauseMs) {
    for (const char c : bytes) {
        if (!test::sendAll(fd, std::string(1, c))) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
    }
}

std::string flood(int fd, const std::string& start, const std::string& unit) {
    test::sendAll(fd, start);
    std::string block;
    while (block.size() < 256 * 1024) block += unit;
    while (test::sendAll(fd, block)) {
    }
    return {};
}

struct Case {
    const char* name;
    std::function<void(LoopbackServer&, int)> serve;
    std::function<std::string(TNMHTTP&, const std::string& address)> run;  // the outcome
    std::string expected;                                                  // found in the outcome
    double seconds;                                                        // bound on the time taken
    double mebibytes;                                                      // bound on the peak memory
};

// A failure as the table shows it: by its code, which is what the case
// expects, then its message for people.
std::string failureOutcome(const std::exception& error) {
    const auto* coded = dynamic_cast<const ESockError*>(&error);
    return (coded ? failed(coded->ErrorCode()) + " " : std::string("exception: ")) + error.what();
}

std::string get(TNMHTTP& http, const std::string& address) {
    http.Get(address);
    return "reply " + std::to_string(http.StatusCode) + ", header " + std::to_string(http.Header.size()) + " B, body " +
           std::to_string(http.Body.size()) + " B";
}

// The first line of each request that reached `server`; a long one by its size.
std::string requestsTo(const ScriptedHttpServer& server) {
    std::string lines;
    for (std::size_t i = 0; i < server.requests().size(); ++i) {
        const std::string line = server.requestLine(i);
        lines += (i ? " | " : "") + (line.size() > 80 ? std::to_string(line.size()) + " B" : line);
    }
    return lines.empty() ? "none" : lines;
}

// A GET of `path` from a server of the case's own that answers connection after
// connection with `replies`: what came of it, and what reached the server.
std::function<std::string(TNMHTTP&, const std::string&)> exchange(std::vector<std::string> replies,
                                                                  std::string path = "/") {
    return [replies, path](TNMHTTP& http, const std::string&) {
        ScriptedHttpServer server(replies);
        http.TimeOut = 2000;
        std::string outcome;
        try {
            outcome = get(http, server.address(path));
        } catch (const std::exception& error) {
            outcome = failureOutcome(error);
        }
        return "requests: " + requestsTo(server) + "; " + outcome;
    };
}

// A redirect to another server of the case's own, named by `location` with
// its port in place of "%": what came of it, and whether it reached that server.
std::function<std::string(TNMHTTP&, const std::string&)> redirectElsewhere(std::string location) {
    return [location](TNMHTTP& http, const std::string&) {
        ScriptedHttpServer other({"HTTP/1.0 200 OK\r\n\r\nelsewhere"});
        std::string named = location;
        named.replace(named.find('%'), 1, std::to_string(other.port()));
        const std::string outcome = exchange({"HTTP/1.0 302 Found\r\nLocation: " + named + "\r\n\r\n"})(http, "");
        return "the other server: " + requestsTo(other) + "; " + outcome;
    };
}

// Sends `reply` and holds the connection open until the client closes it.
void replyAndHold(int fd, const std::string& reply) {
    drainRequest(fd);
    test::sendAll(fd, reply);
    test::waitForClose(fd);
}

std::vector<Case> cases() {
    const std::string ok = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nX-Padding: 0123456789abcdef\r\n\r\nbody";
    return {
        {"slowloris, within the time-out", [ok](LoopbackServer&, int fd) { drainRequest(fd), trickle(fd, ok, 2); },
         [](TNMHTTP& http, const std::string& a) {
             http.TimeOut = 1000;
             return get(http, a);
         },
         "reply 200", 5, 64},
        {"slowloris, one line slower than the time-out",
         [](LoopbackServer&, int fd) {
             drainRequest(fd), trickle(fd, "HTTP/1.0 200 " + std::string(100, 'x') + "\r\n", 50);
         },
         [](TNMHTTP& http, const std::string& a) {
             http.TimeOut = 1000;
             return get(http, a);
         },
         failed(kInterrupted), 3, 64},
        {"a header line of 1 MiB",
         [](LoopbackServer&, int fd) {
             drainRequest(fd);
             test::sendAll(fd, "HTTP/1.0 200 OK\r\nX-Big: " + std::string(1 << 20, 'x') + "\r\n\r\n");
         },
         get, failed(kMessageTooLong), 3, 64},
        {"a million header lines",
         [](LoopbackServer&, int fd) { drainRequest(fd), flood(fd, "HTTP/1.0 200 OK\r\n", "X-Line: 1\r\n"); }, get,
         failed(Failure::HeaderTooLong), 10, 64},
        {"an endless body, no time-out",
         [](LoopbackServer&, int fd) { drainRequest(fd), flood(fd, "HTTP/1.0 200 OK\r\n\r\n", "endless "); }, get,
         failed(Failure::BodyTooLong), 20, 800},
        {"an endless body, time-out 1000 ms",
         [](LoopbackServer&, int fd) { drainRequest(fd), flood(fd, "HTTP/1.0 200 OK\r\n\r\n", "endless "); },
         [](TNMHTTP& http, const std::string& a) {
             http.TimeOut = 1000;
             return get(http, a);
         },
         failed(Failure::BodyTooLong), 20, 800},
        {"a reset in the middle of the header",
         [](LoopbackServer& server, int fd) {
             drainRequest(fd), test::sendAll(fd, "HTTP/1.0 200 OK\r\nX-Half: ");
             std::this_thread::sleep_for(std::chrono::milliseconds(100));
             server.resetConnection(fd);
         },
         get, failed(socketErrorCode(ECONNRESET)), 3, 64},
        {"a reset in the middle of the body",
         [](LoopbackServer& server, int fd) {
             drainRequest(fd), test::sendAll(fd, "HTTP/1.0 200 OK\r\n\r\n" + std::string(100000, 'b'));
             std::this_thread::sleep_for(std::chrono::milliseconds(100));
             server.resetConnection(fd);
         },
         get, failed(socketErrorCode(ECONNRESET)), 3, 64},
        {"a banner that is no HTTP",
         [](LoopbackServer&, int fd) { drainRequest(fd), test::sendAll(fd, "SSH-2.0-OpenSSH_9.2p1 Debian\r\n"); }, get,
         failed(Failure::NoStatusLine), 3, 64},
        {"NUL bytes in the status line",
         [](LoopbackServer&, int fd) {
             static const char reply[] = "HTTP/1.0 2\0\0 OK\r\n\r\n";
             drainRequest(fd), test::sendAll(fd, std::string(reply, sizeof reply - 1));
         },
         get, failed(Failure::MalformedStatusLine), 3, 64},
        {"NUL bytes in header and body",
         [](LoopbackServer&, int fd) {
             drainRequest(fd);
             test::sendAll(fd, std::string("HTTP/1.0 200 OK\r\nX-Nul: a\0b\r\n\r\nbo\0dy", 36));
         },
         get, "reply 200, header 31 B, body 5 B", 3, 64},
        {"a redirect loop",
         [](LoopbackServer&, int fd) {
             drainRequest(fd), test::sendAll(fd, "HTTP/1.0 302 Found\r\nLocation: /again\r\n\r\n");
         },
         get, failed(Failure::TooManyRedirects), 5, 64},
        {"a Location of 60 KiB, followed whole", [](LoopbackServer&, int) {},
         exchange({"HTTP/1.0 302 Found\r\nLocation: /" + std::string(61440, 'l') + "\r\n\r\n",
                   "HTTP/1.0 200 OK\r\n\r\nlanded"}),
         "requests: GET / HTTP/1.0 | 61454 B; reply 200, header 19 B, body 6 B", 3, 64},
        {"a Location past the bound of a request line", [](LoopbackServer&, int) {},
         exchange({"HTTP/1.0 302 Found\r\nLocation: /" + std::string(65523, 'l') + "\r\n\r\n"}),
         "requests: GET / HTTP/1.0; " + failed(Failure::RequestLineTooLong), 3, 64},
        {"a relative Location with a colon, the server off port 80", [](LoopbackServer&, int) {},
         exchange({"HTTP/1.0 302 Found\r\nLocation: /list?t=12:30\r\n\r\n", "HTTP/1.0 200 OK\r\n\r\nlanded"}),
         "requests: GET / HTTP/1.0 | GET /list?t=12:30 HTTP/1.0; reply 200, header 19 B, body 6 B", 3, 64},
        {"a relative-path Location", [](LoopbackServer&, int) {},
         exchange({"HTTP/1.0 302 Found\r\nLocation: data/x?y=1\r\n\r\n", "HTTP/1.0 200 OK\r\n\r\nlanded"}, "/dir/page"),
         "requests: GET /dir/page HTTP/1.0 | GET /dir/data/x?y=1 HTTP/1.0", 3, 64},
        {"blanks and tabs around and inside a Location", [](LoopbackServer&, int) {},
         exchange({"HTTP/1.0 302 Found\r\nLocation:  /a b\tc \t\r\n\r\n", "HTTP/1.0 200 OK\r\n\r\nlanded"}),
         "requests: GET / HTTP/1.0 | GET /a%20b%09c HTTP/1.0", 3, 64},
        {"a Location that is no valid address", [](LoopbackServer&, int) {}, redirectElsewhere("h ttp://127.0.0.1:%/t"),
         "the other server: none; requests: GET / HTTP/1.0; " + failed(Failure::RedirectRefused), 3, 64},
        {"a Location with another scheme", [](LoopbackServer&, int) {}, redirectElsewhere("ht3p://127.0.0.1:%/"),
         "the other server: none; requests: GET / HTTP/1.0; " + failed(Failure::RedirectRefused), 3, 64},
        {"a bare CR inside a Location", [](LoopbackServer&, int) {},
         exchange({"HTTP/1.0 302 Found\r\nLocation: /next\rX-Injected: yes\r\n\r\n", "HTTP/1.0 200 OK\r\n\r\n"}),
         "requests: GET / HTTP/1.0; " + failed(Failure::RedirectRefused), 3, 64},
        {"a bare CR and a NUL inside a Set-Cookie", [](LoopbackServer&, int) {},
         [](TNMHTTP& http, const std::string&) {
             static const char redirect[] =
                 "HTTP/1.0 302 Found\r\nSet-Cookie: a=1\rX-Injected: \0yes\r\nLocation: /next\r\n\r\n";
             ScriptedHttpServer server({std::string(redirect, sizeof redirect - 1), "HTTP/1.0 200 OK\r\n\r\nlanded"});
             http.TimeOut = 2000;
             get(http, server.address("/"));
             const std::string next = server.request(1);
             return next.find("X-Injected") == std::string::npos && next.find("Cookie") == std::string::npos
                        ? "nothing of the cookie in the next request"
                        : "the next request carried: " + next;
         },
         "nothing of the cookie in the next request", 3, 64},
        {"a relative redirect through a proxy", [](LoopbackServer&, int) {},
         [](TNMHTTP& http, const std::string&) {
             ScriptedHttpServer proxy({"HTTP/1.0 302 Found\r\nLocation: /next\r\n\r\n", "HTTP/1.0 200 OK\r\n\r\n"});
             http.Proxy = "127.0.0.1";
             http.ProxyPort = proxy.port();
             http.TimeOut = 2000;
             get(http, "http://portal.example/start");
             return "requests: " + requestsTo(proxy);
         },
         "requests: GET http://portal.example/start HTTP/1.0 | GET http://portal.example/next HTTP/1.0", 3, 64},
        {"a PUT of 1 MiB with zero bytes in it", [](LoopbackServer&, int) {},
         [](TNMHTTP& http, const std::string&) {
             ScriptedHttpServer server({"HTTP/1.0 200 OK\r\n\r\n"});
             std::string data(1 << 20, '\0');
             for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i % 251);
             http.TimeOut = 2000;
             http.Put(server.address("/"), data);
             const std::string request = server.request(0);
             const std::string received = request.substr(std::min(request.size(), request.find("\r\n\r\n") + 4));
             return "the server received " + std::to_string(received.size()) + " of " + std::to_string(data.size()) +
                    " bytes" + (received == data ? ", identical" : ", different");
         },
         "the server received 1048576 of 1048576 bytes, identical", 5, 64},
        {"a body shorter than its Content-Length",
         [](LoopbackServer&, int fd) {
             drainRequest(fd), test::sendAll(fd, "HTTP/1.0 200 OK\r\nContent-Length: 677654\r\n\r\n0123456789");
         },
         get, failed(Failure::BodyShort), 3, 64},
        {"a Content-Length, the connection held open",
         [](LoopbackServer&, int fd) { replyAndHold(fd, "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello"); },
         [](TNMHTTP& http, const std::string& a) {
             http.TimeOut = 5000;
             return get(http, a);
         },
         "reply 200, header 38 B, body 5 B", 1, 64},
        {"bytes past the Content-Length",
         [](LoopbackServer&, int fd) {
             drainRequest(fd), test::sendAll(fd, "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello, and more");
         },
         get, "reply 200, header 38 B, body 5 B", 3, 64},
        {"an interim 100 Continue before the answer",
         [](LoopbackServer&, int fd) {
             drainRequest(fd), test::sendAll(fd, "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.0 404 Not Found\r\n\r\nmissing");
         },
         get, "reply 404, header 26 B, body 7 B", 3, 64},
        {"an endless stream of 100 Continue",
         [](LoopbackServer&, int fd) { drainRequest(fd), flood(fd, "", "HTTP/1.1 100 Continue\r\n\r\n"); }, get,
         failed(Failure::HeaderTooLong), 10, 64},
        {"a header without its blank line",
         [](LoopbackServer&, int fd) {
             drainRequest(fd), test::sendAll(fd, "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n");
         },
         get, failed(Failure::HeaderCutShort), 3, 64},
        {"a close before any byte", [](LoopbackServer&, int fd) { drainRequest(fd); }, get, failed(Failure::NoReply), 3,
         64},
        {"a redirect to another host with credentials and a cookie",
         [](LoopbackServer&, int) {},  // the two servers of this case are its own
         [](TNMHTTP& http, const std::string&) {
             LoopbackServer other(0, [](LoopbackServer& self, int fd) {
                 const std::string head = test::readRequestHead(fd);
                 self.recordRequestLine(head);
                 test::sendAll(fd, "HTTP/1.0 200 OK\r\n\r\nelsewhere");
             });
             LoopbackServer first(0, [&other](LoopbackServer&, int fd) {
                 drainRequest(fd);
                 test::sendAll(fd, "HTTP/1.0 302 Found\r\nSet-Cookie: session=secret\r\nLocation: http://localhost:" +
                                       std::to_string(other.port()) + "/\r\n\r\n");
             });
             http.HeaderInfo.UserId = "user";
             http.HeaderInfo.Password = "secret";
             test::installFakeResolver({{"localhost", "127.0.0.1"}});  // no lookup leaves the machine
             get(http, "http://127.0.0.1:" + std::to_string(first.port()) + "/");
             const auto received = other.requestLines();
             const std::string request = received.empty() ? std::string() : received[0];
             const bool leaked =
                 request.find("Authorization") != std::string::npos || request.find("Cookie") != std::string::npos;
             return std::string(received.empty() ? "no request reached the other host"
                                : leaked         ? "credentials or cookie sent to the other host"
                                                 : "nothing leaked; body: ") +
                    http.Body;
         },
         "nothing leaked; body: elsewhere", 5, 64},
    };
}

// The cases that run over TLS too, through a TLS front of the case's server,
// with what comes of each there: the same, but where the front ends the
// tunnel without TLS's close (the server's reset) or the server closes at once.
std::vector<std::pair<std::string, std::string>> overTls() {
    const std::string unannounced = failed(Failure::TlsFailed);
    return {
        {"slowloris, within the time-out", "reply 200"},
        {"slowloris, one line slower than the time-out", failed(kInterrupted)},
        {"a header line of 1 MiB", failed(kMessageTooLong)},
        {"a million header lines", failed(Failure::HeaderTooLong)},
        {"an endless body, no time-out", failed(Failure::BodyTooLong)},
        {"an endless body, time-out 1000 ms", failed(Failure::BodyTooLong)},
        {"a reset in the middle of the header", unannounced},
        {"a reset in the middle of the body", unannounced},
        {"a banner that is no HTTP", failed(Failure::NoStatusLine)},
        {"NUL bytes in header and body", "reply 200, header 31 B, body 5 B"},
        {"a redirect loop", failed(Failure::TooManyRedirects)},
        {"a body shorter than its Content-Length", failed(Failure::BodyShort)},
        {"a Content-Length, the connection held open", "reply 200, header 38 B, body 5 B"},
        {"bytes past the Content-Length", "reply 200, header 38 B, body 5 B"},
        {"an endless stream of 100 Continue", failed(Failure::HeaderTooLong)},
        {"a header without its blank line", failed(Failure::HeaderCutShort)},
        {"a close before any byte", failed(Failure::NoReply)},
    };
}

}  // namespace

int main(int argc, char** argv) {
    const std::string only = argc > 1 ? argv[1] : "";
    // Under valgrind (KWIRL_UNDER_VALGRIND=1) everything runs many times slower.
    const bool underValgrind = std::getenv("KWIRL_UNDER_VALGRIND") != nullptr;
    const double timeScale = kTimeScale * (underValgrind ? 40.0 : 1.0);
    const double memoryScale = kMemoryScale * (underValgrind ? 2.0 : 1.0);
    int failures = 0, run = 0;
    std::printf("%-58s %-8s %9s %9s  %s\n", "case", "verdict", "seconds", "peak MiB", "outcome");
    auto all = cases();
    const auto plainCases = all.size();
    for (const auto& [name, expected] : overTls()) {
        const auto plain = std::find_if(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(plainCases),
                                        [&name](const Case& c) { return c.name == name; });
        if (plain == all.begin() + static_cast<std::ptrdiff_t>(plainCases)) {
            std::printf("no case named \"%s\" to run over TLS\n", name.c_str());
            return 2;
        }
        Case secure = *plain;
        secure.expected = expected;
        all.push_back(secure);
    }
    const test::TestAuthority authority;
    const test::TestCertificate certificate = authority.issue({"127.0.0.1"});
    for (std::size_t index = 0; index < all.size(); ++index) {
        const Case& c = all[index];
        const bool secure = index >= plainCases;
        const std::string name = std::string(c.name) + (secure ? ", over TLS" : "");
        if (!only.empty() && name.find(only) == std::string::npos) continue;
        ++run;
        int pipeFds[2];
        if (pipe(pipeFds) != 0) return 2;
        std::fflush(stdout);
        const auto start = std::chrono::steady_clock::now();
        const pid_t child = fork();
        if (child == 0) {
            close(pipeFds[0]);
            std::string outcome;
            {
                LoopbackServer server(0, c.serve);
                std::unique_ptr<LoopbackServer> front;
                if (secure) {
                    trustAlso(authority.file());
                    front = std::make_unique<LoopbackServer>(0, test::tlsFrontOf(certificate, server.port()));
                }
                TNMHTTP http;
                try {
                    outcome = c.run(http, (secure ? "https://127.0.0.1:" + std::to_string(front->port())
                                                  : "http://127.0.0.1:" + std::to_string(server.port())) +
                                              "/");
                } catch (const std::exception& error) {
                    outcome = failureOutcome(error);
                }
                if (http.Connected) outcome += " (socket left open)";
            }
            [[maybe_unused]] auto written = write(pipeFds[1], outcome.data(), outcome.size());
            close(pipeFds[1]);
            std::exit(0);
        }
        close(pipeFds[1]);
        std::string outcome;
        char buffer[1024];
        for (ssize_t got; (got = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
            outcome.append(buffer, static_cast<std::size_t>(got));
        close(pipeFds[0]);
        int status = 0;
        rusage usage{};
        wait4(child, &status, 0, &usage);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double mebibytes = static_cast<double>(usage.ru_maxrss) / 1024.0;
        const bool asExpected = outcome.find(c.expected) != std::string::npos;
        const bool inTime = seconds <= c.seconds * timeScale;
        const bool inMemory = mebibytes <= c.mebibytes * memoryScale;
        const bool clean = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        const bool good = asExpected && inTime && inMemory && clean;
        failures += good ? 0 : 1;
        std::printf("%-58s %-8s %9.2f %9.1f  %s%s%s%s\n", name.c_str(), good ? "ok" : "FAILED", seconds, mebibytes,
                    outcome.c_str(), asExpected ? "" : ("  [expected: " + c.expected + "]").c_str(),
                    inTime && inMemory ? "" : "  [out of bounds]", clean ? "" : "  [the case's process failed]");
    }
    std::printf("%d passed, %d failed\n", run - failures, failures);
    return failures == 0 ? 0 : 1;
}
