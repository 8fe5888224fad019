// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

#include "NMHttp.h"
#include "catalogue_fetch.h"
#include "loopback_http_server.h"

namespace kwirl {
namespace {

using test::LoopbackServer;
using Clock = std::chrono::steady_clock;

std::string address(const LoopbackServer& server) {
    return "http://127.0.0.1:" + std::to_string(server.port()) + "/index.php?name=servstop";
}

LoopbackServer::ConnectionHandler answer(const std::string& reply) {
    return [reply](LoopbackServer&, int fd) {
        test::readRequestHead(fd);
        test::sendAll(fd, reply);
    };
}

double secondsOf(const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

TEST(CatalogueFetch, APageWithEntries) {
    LoopbackServer server(0, answer("HTTP/1.0 200 OK\r\n\r\n<kk ref=\"Xtp://h/az3z\">A</kk>\r\ntail"));
    TNMHTTP http;
    const auto fetched = fetchCatalogue(http, address(server));
    EXPECT_TRUE(fetched.loaded);
    ASSERT_EQ(fetched.entries.size(), 1u);
    EXPECT_EQ(fetched.entries[0].address, "http://h/azZz");
    EXPECT_EQ(fetched.header, "HTTP/1.0 200 OK\r\n\r\n");
}

TEST(CatalogueFetch, AnErrorPageWithABodyStillCountsAsLoaded) {
    LoopbackServer server(0, answer("HTTP/1.0 404 Not Found\r\n\r\nno such page"));
    TNMHTTP http;
    const auto fetched = fetchCatalogue(http, address(server));
    EXPECT_TRUE(fetched.loaded);
    EXPECT_TRUE(fetched.entries.empty());
}

TEST(CatalogueFetch, ABodyStartingWithNulOrEmptyIsNotLoaded) {
    for (const std::string& body : {std::string("\0<kk ref=\"Xtp://h/az3z\">A</kk>\r\nx", 31), std::string()}) {
        LoopbackServer server(0, answer("HTTP/1.0 200 OK\r\n\r\n" + body));
        TNMHTTP http;
        const auto fetched = fetchCatalogue(http, address(server));
        EXPECT_FALSE(fetched.loaded);
        EXPECT_TRUE(fetched.entries.empty());
    }
}

TEST(CatalogueFetch, AFailedGetLeavesNothingLoaded) {
    TNMHTTP http;
    const auto fetched = fetchCatalogue(http, "http://127.0.0.1:1/index.php?name=servstop");
    EXPECT_FALSE(fetched.loaded);
    EXPECT_TRUE(fetched.entries.empty());
}

TEST(CatalogueFetch, ASilentPortalIsGivenUpWithinTheWaitBound) {
    LoopbackServer server(0, [](LoopbackServer&, int fd) {
        char byte;
        while (recv(fd, &byte, 1, 0) > 0) {
        }
    });
    TNMHTTP http;
    CatalogueFetch fetched;
    const double seconds = secondsOf([&] { fetched = fetchCatalogue(http, address(server), {10000, 300, 1 << 20}); });
    EXPECT_FALSE(fetched.loaded);
    EXPECT_LT(seconds, 3.0);
}

TEST(CatalogueFetch, AnEndlessBodyIsCutOffAtTheSizeBound) {
    LoopbackServer server(0, [](LoopbackServer&, int fd) {
        test::readRequestHead(fd);
        const std::string chunk(64 * 1024, 'x');
        test::sendAll(fd, "HTTP/1.0 200 OK\r\n\r\n");
        while (test::sendAll(fd, chunk)) {
        }
    });
    TNMHTTP http;
    CatalogueFetch fetched;
    const double seconds = secondsOf([&] { fetched = fetchCatalogue(http, address(server), {10000, 1000, 1 << 20}); });
    EXPECT_FALSE(fetched.loaded);
    EXPECT_LT(seconds, 5.0);
    EXPECT_LT(http.Body.size(), 2u << 20);
}

TEST(CatalogueFetch, ATrickleIsGivenUpAtTheDeadline) {
    // One byte every 100 ms keeps every wait short but would never end.
    LoopbackServer server(0, [](LoopbackServer&, int fd) {
        test::readRequestHead(fd);
        test::sendAll(fd, "HTTP/1.0 200 OK\r\n\r\n");
        for (int i = 0; i < 600 && test::sendAll(fd, "x"); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));  // a slow portal
        }
    });
    TNMHTTP http;
    CatalogueFetch fetched;
    const double seconds = secondsOf([&] { fetched = fetchCatalogue(http, address(server), {1000, 500, 1 << 20}); });
    EXPECT_FALSE(fetched.loaded);
    EXPECT_GT(seconds, 0.9);
    EXPECT_LT(seconds, 3.0);
}

TEST(CatalogueFetch, AFloodOfHeaderLinesIsRefusedWithBoundedMemory) {
    LoopbackServer server(0, [](LoopbackServer&, int fd) {
        test::readRequestHead(fd);
        test::sendAll(fd, "HTTP/1.0 200 OK\r\n");
        const std::string lines = [] {
            std::string many;
            for (int i = 0; i < 1000; ++i) many += "X-Filler: 0123456789\r\n";
            return many;
        }();
        while (test::sendAll(fd, lines)) {
        }
    });
    TNMHTTP http;
    const auto fetched = fetchCatalogue(http, address(server), {10000, 1000, 1 << 20});
    EXPECT_FALSE(fetched.loaded);
    EXPECT_LE(http.Header.size(), TNMHTTP::kMostHeaderBytes);
}

}  // namespace
}  // namespace kwirl
