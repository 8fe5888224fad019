// SPDX-License-Identifier: MIT
// How much a waiting ReadLn costs, and how fast it wakes up.
//  1. CPU time of a ReadLn that waits 3 s on a silent server (time-out 3000 ms).
//  2. Delay from a line's send on the server to ReadLn's return, median of many.

#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <vector>

#include "Psock.h"
#include "loopback_http_server.h"

using namespace kwirl;
using Clock = std::chrono::steady_clock;

namespace {
double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}
}  // namespace

int main() {
    {
        test::LoopbackServer silent(0, [](test::LoopbackServer&, int fd) {
            char byte;
            while (recv(fd, &byte, 1, 0) > 0) {
            }
        });
        TPowersock sock;
        sock.Host = "127.0.0.1";
        sock.Port = silent.port();
        sock.Connect();
        sock.TimeOut = 3000;
        const double cpuBefore = cpuSeconds();
        const auto start = Clock::now();
        try {
            sock.ReadLn();
        } catch (const EAbortError&) {
        }
        const double wall = std::chrono::duration<double>(Clock::now() - start).count();
        const double cpu = cpuSeconds() - cpuBefore;
        std::printf("idle wait: %.3f s wall, %.6f s CPU = %.4f%% of the wait\n", wall, cpu, 100.0 * cpu / wall);
    }
    {
        constexpr int kRounds = 500;
        int go[2];
        if (pipe(go) != 0) return 1;
        std::atomic<std::int64_t> sentAt{0};
        test::LoopbackServer echo(0, [&](test::LoopbackServer&, int fd) {
            char signal;
            while (read(go[0], &signal, 1) == 1 && signal == 'g') {
                sentAt = Clock::now().time_since_epoch().count();
                test::sendAll(fd, "x\n");
            }
        });
        TPowersock sock;
        sock.Host = "127.0.0.1";
        sock.Port = echo.port();
        sock.Connect();
        std::vector<double> delays;
        for (int i = 0; i < kRounds; ++i) {
            if (write(go[1], "g", 1) != 1) return 1;
            sock.ReadLn();
            const auto returned = Clock::now().time_since_epoch().count();
            delays.push_back(static_cast<double>(returned - sentAt.load()) / 1e3);  // microseconds
        }
        if (write(go[1], "q", 1) != 1) return 1;
        std::sort(delays.begin(), delays.end());
        std::printf("wake-up delay over %d lines: median %.1f us, 90th percentile %.1f us, max %.1f us\n", kRounds,
                    delays[delays.size() / 2], delays[delays.size() * 9 / 10], delays.back());
        sock.Disconnect();
        close(go[0]);
        close(go[1]);
    }
    return 0;
}
