// The HTTP client against hostile servers, one scripted loopback server per
// case. Each case runs in a process of its own, so that its time and its peak
// memory are its own; the table says what happened, and any case outside its
// bounds, or with another outcome than expected, fails the run.

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "NMHttp.h"
#include "fake_resolver.h"
#include "loopback_http_server.h"

using namespace kwirl;
using test::LoopbackServer;

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

std::string get(TNMHTTP& http, const std::string& address) {
    http.Get(address);
    return "reply " + std::to_string(http.StatusCode) + ", header " + std::to_string(http.Header.size()) +
           " B, body " + std::to_string(http.Body.size()) + " B";
}

std::vector<Case> cases() {
    const std::string ok = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nX-Padding: 0123456789abcdef\r\n\r\nbody";
    return {
        {"slowloris, within the time-out",
         [ok](LoopbackServer&, int fd) { drainRequest(fd), trickle(fd, ok, 2); },
         [](TNMHTTP& http, const std::string& a) { http.TimeOut = 1000; return get(http, a); }, "reply 200", 5, 64},
        {"slowloris, one line slower than the time-out",
         [](LoopbackServer&, int fd) { drainRequest(fd), trickle(fd, "HTTP/1.0 200 " + std::string(100, 'x') + "\r\n", 50); },
         [](TNMHTTP& http, const std::string& a) { http.TimeOut = 1000; return get(http, a); },
         "Socket readln aborted", 3, 64},
        {"a header line of 1 MiB",
         [](LoopbackServer&, int fd) {
             drainRequest(fd);
             test::sendAll(fd, "HTTP/1.0 200 OK\r\nX-Big: " + std::string(1 << 20, 'x') + "\r\n\r\n");
         },
         get, "Socket readln line longer than 65536 bytes", 3, 64},
        {"a million header lines",
         [](LoopbackServer&, int fd) { drainRequest(fd), flood(fd, "HTTP/1.0 200 OK\r\n", "X-Line: 1\r\n"); }, get,
         "Reply header longer than 1048576 bytes", 10, 64},
        {"an endless body, no time-out",
         [](LoopbackServer&, int fd) { drainRequest(fd), flood(fd, "HTTP/1.0 200 OK\r\n\r\n", "endless "); }, get,
         "Reply body longer than 268435456 bytes", 20, 800},
        {"an endless body, time-out 1000 ms",
         [](LoopbackServer&, int fd) { drainRequest(fd), flood(fd, "HTTP/1.0 200 OK\r\n\r\n", "endless "); },
         [](TNMHTTP& http, const std::string& a) { http.TimeOut = 1000; return get(http, a); },
         "Reply body longer than 268435456 bytes", 20, 800},
        {"a reset in the middle of the header",
         [](LoopbackServer& server, int fd) {
             drainRequest(fd), test::sendAll(fd, "HTTP/1.0 200 OK\r\nX-Half: ");
             std::this_thread::sleep_for(std::chrono::milliseconds(100));
             server.resetConnection(fd);
         },
         get, "10054:Connection reset by peer", 3, 64},
        {"a reset in the middle of the body",
         [](LoopbackServer& server, int fd) {
             drainRequest(fd), test::sendAll(fd, "HTTP/1.0 200 OK\r\n\r\n" + std::string(100000, 'b'));
             std::this_thread::sleep_for(std::chrono::milliseconds(100));
             server.resetConnection(fd);
         },
         get, "10054:Connection reset by peer", 3, 64},
        {"a banner that is no HTTP",
         [](LoopbackServer&, int fd) { drainRequest(fd), test::sendAll(fd, "SSH-2.0-OpenSSH_9.2p1 Debian\r\n"); }, get,
         "exception: Reply without a status line", 3, 64},
        {"NUL bytes in the status line",
         [](LoopbackServer&, int fd) { drainRequest(fd), test::sendAll(fd, std::string("HTTP/1.0 2\0\0 OK\r\n\r\n", 21)); },
         get, "exception: Reply with a malformed status line", 3, 64},
        {"NUL bytes in header and body",
         [](LoopbackServer&, int fd) {
             drainRequest(fd);
             test::sendAll(fd, std::string("HTTP/1.0 200 OK\r\nX-Nul: a\0b\r\n\r\nbo\0dy", 36));
         },
         get, "reply 200, header 31 B, body 5 B", 3, 64},
        {"a redirect loop",
         [](LoopbackServer&, int fd) { drainRequest(fd), test::sendAll(fd, "HTTP/1.0 302 Found\r\nLocation: /again\r\n\r\n"); },
         get, "Too many redirects: more than 20 followed", 5, 64},
        {"a Location of 10 KiB",
         [](LoopbackServer& server, int fd) {
             const std::string head = test::readRequestHead(fd);
             server.recordRequestLine(head.substr(0, head.find("\r\n")));
             if (server.requestLines().size() == 1)
                 test::sendAll(fd, "HTTP/1.0 302 Found\r\nLocation: /" + std::string(10240, 'l') + "\r\n\r\n");
             else
                 test::sendAll(fd, "HTTP/1.0 200 OK\r\n\r\nlanded");
         },
         get, "reply 200, header 19 B, body 6 B", 3, 64},
        {"a close before any byte",
         [](LoopbackServer&, int fd) { drainRequest(fd); }, get,
         "exception: No reply: the connection closed before a status line", 3, 64},
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
             const bool leaked = request.find("Authorization") != std::string::npos ||
                                 request.find("Cookie") != std::string::npos;
             return std::string(received.empty() ? "no request reached the other host"
                                : leaked         ? "credentials or cookie sent to the other host"
                                                 : "nothing leaked; body: ") + http.Body;
         },
         "nothing leaked; body: elsewhere", 5, 64},
    };
}

}  // namespace

int main(int argc, char** argv) {
    const std::string only = argc > 1 ? argv[1] : "";
    // Under valgrind (KWIRL_UNDER_VALGRIND=1) everything runs many times slower.
    const bool underValgrind = std::getenv("KWIRL_UNDER_VALGRIND") != nullptr;
    const double timeScale = kTimeScale * (underValgrind ? 40.0 : 1.0);
    const double memoryScale = kMemoryScale * (underValgrind ? 2.0 : 1.0);
    int failures = 0;
    std::printf("%-58s %-8s %9s %9s  %s\n", "case", "verdict", "seconds", "peak MiB", "outcome");
    const auto all = cases();
    for (const auto& c : all) {
        if (!only.empty() && std::string(c.name).find(only) == std::string::npos) continue;
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
                TNMHTTP http;
                try {
                    outcome = c.run(http, "http://127.0.0.1:" + std::to_string(server.port()) + "/");
                } catch (const std::exception& error) {
                    outcome = std::string("exception: ") + error.what();
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
        for (ssize_t got; (got = read(pipeFds[0], buffer, sizeof buffer)) > 0;) outcome.append(buffer, static_cast<std::size_t>(got));
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
        std::printf("%-58s %-8s %9.2f %9.1f  %s%s%s%s\n", c.name, good ? "ok" : "FAILED", seconds, mebibytes,
                    outcome.c_str(), asExpected ? "" : ("  [expected: " + c.expected + "]").c_str(),
                    inTime && inMemory ? "" : "  [out of bounds]", clean ? "" : "  [the case's process failed]");
    }
    std::printf("%zu passed, %d failed\n", all.size() - static_cast<std::size_t>(failures), failures);
    return failures == 0 ? 0 : 1;
}
