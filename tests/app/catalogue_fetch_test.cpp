// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <ostream>
#include <thread>
#include <utility>
#include <vector>

#include "NMHttp.h"
#include "catalogue_fetch.h"
#include "fake_resolver.h"
#include "loopback_http_server.h"
#include "loopback_tls.h"
#include "portal_host.h"
#include "trusted_certificates.h"

namespace kwirl {

std::ostream& operator<<(std::ostream& out, const CatalogueEntry& e) {
    return out << "{" << e.name << ", " << e.address << "}";
}

namespace {

using test::LoopbackServer;
using Clock = std::chrono::steady_clock;

// An entry's address as the client keeps it: over https for a portal reached so.
std::string inPortalScheme(const std::string& address) {
    return portalScheme() == "https" && address.starts_with("http://") ? "https://" + address.substr(7) : address;
}

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
    LoopbackServer server(0, answer("HTTP/1.0 200 OK\r\n\r\n<kk ref=\"Xtp://127.0.0.1/az3z\">A</kk>\r\ntail"));
    TNMHTTP http;
    const auto fetched = fetchCatalogue(http, address(server));
    EXPECT_TRUE(fetched.loaded);
    ASSERT_EQ(fetched.entries.size(), 1u);
    EXPECT_EQ(fetched.entries[0].address, inPortalScheme("http://127.0.0.1/azZz"));
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

// An entry as the page writes it: its "ht" as one character, its first "zZz" as "z3z".
std::string pageEntry(const std::string& address, const std::string& name) {
    std::string written = "X" + address.substr(2);
    written.replace(written.find("zZz"), 3, "z3z");
    return "<kk ref=\"" + written + "\">" + name + "</kk>\r\n";
}

TEST(CatalogueFetch, RedirectsAreFollowedOnlyToTheServerAskedAndThePortalHost) {
    test::installFakeResolver({{"localhost", "127.0.0.1"}});
    const std::string page = "HTTP/1.0 200 OK\r\n\r\n" + pageEntry("http://localhost/lib?src=zZz", "Lib") + "tail";
    const auto answerPage = test::httpResponder([&page](const std::string&) { return page; });
    LoopbackServer pages(0, answerPage);      // the portal host's
    LoopbackServer elsewhere(0, answerPage);  // another server's
    const test::TestAuthority authority;
    trustAlso(authority.file());
    LoopbackServer moved(0, test::tlsResponder(authority.issue({"localhost", "127.0.0.1"}),
                                               [&page](const std::string&) { return page; }));
    const std::string pagesHost = "localhost:" + std::to_string(pages.port());
    struct Case {
        // %A stands for the port of the server asked, %P the portal host's, %E another's, %S one over TLS
        const char* location;
        bool followed;
    } cases[] = {
        {"https://localhost:%S/list", portalScheme() == "http"},  // the portal host, moved to https
        {"https://127.0.0.1:%S/list", true},
        {"https://attacker.example:%S/list", false},
        {"/list", true},
        {"http://127.0.0.1:%A/list", true},
        // The portal host in clear text, only for a portal reached so.
        {"http://localhost:%P/list", portalScheme() == "http"},
        {"http://LOCALHOST:%P/list", portalScheme() == "http"},
        {"http://127.0.0.1:%E/list", false},  // the same machine, another server
        {"http://localhost:%E/list", false},
        {"http://localhost/list", false},  // the portal host's name on another port
        {"http://attacker.example:%P/list", false},
        {"http://localhost:%P@127.0.0.1:%E/list", false},
    };
    for (const auto& c : cases) {
        std::string location = c.location;
        LoopbackServer asked(0, test::httpResponder([&location, &page](const std::string& head) {
                                 return head.starts_with("GET /index.php")
                                            ? "HTTP/1.0 302 Found\r\nLocation: " + location + "\r\n\r\n"
                                            : page;
                             }));
        for (const auto& [mark, port] : {std::pair<std::string, std::uint16_t>{"%A", asked.port()},
                                         {"%P", pages.port()},
                                         {"%E", elsewhere.port()},
                                         {"%S", moved.port()}}) {
            if (const auto at = location.find(mark); at != std::string::npos)
                location.replace(at, 2, std::to_string(port));
        }
        TNMHTTP http;
        const auto fetched = fetchCatalogue(http, address(asked), {}, pagesHost);
        EXPECT_EQ(fetched.loaded, c.followed) << location;
        EXPECT_EQ(fetched.entries.size(), c.followed ? 1u : 0u) << location;
        EXPECT_EQ(fetched.failure.starts_with("Redirect refused: "), !c.followed) << fetched.failure;
    }
    EXPECT_TRUE(elsewhere.requestLines().empty());
    EXPECT_EQ(moved.requestLines().size(), portalScheme() == "http" ? 2u : 1u);
    trustAlso("");
}

TEST(CatalogueFetch, EntriesOffThePortalHostAreDroppedAndTheRestKept) {
    std::string body;
    LoopbackServer asked(0,
                         test::httpResponder([&body](const std::string&) { return "HTTP/1.0 200 OK\r\n\r\n" + body; }));
    const std::string here = "127.0.0.1:" + std::to_string(asked.port());
    struct Case {
        std::string address;
        bool kept;
    } cases[] = {
        {"http://" + here + "/index.php?name=a&src=zZz", true},  // the catalogue's own server
        {"http://127.0.0.1/b?src=zZz", true},                    // its host on another port
        {"http://www.portal.test:8642/c?src=zZz", true},
        {"https://WWW.Portal.Test./d?src=zZz", true},
        {"http://attacker.example/e?src=zZz", false},
        {"http://www.portal.test.attacker.example/f?src=zZz", false},
        {"http://www.portal.test@attacker.example/g?src=zZz", false},
        {"http://attacker.example\\@www.portal.test/h?src=zZz", false},
        {"http://portal.test/i?src=zZz", false},  // another host of the portal's domain
        {"http:attacker.example/j?src=zZz", false},
        {"htfoo://www.portal.test/k?src=zZz", false},
    };
    std::vector<CatalogueEntry> kept;
    for (const auto& c : cases) {
        const std::string name = std::to_string(&c - cases);
        body += pageEntry(c.address, name);
        if (c.kept) kept.push_back({name, inPortalScheme(c.address)});
    }
    body += "tail";
    TNMHTTP http;
    const auto fetched = fetchCatalogue(http, address(asked), {}, "www.portal.test:8642");
    EXPECT_TRUE(fetched.loaded);
    EXPECT_EQ(fetched.entries, kept);
}

}  // namespace
}  // namespace kwirl
