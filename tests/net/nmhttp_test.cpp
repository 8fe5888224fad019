// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <thread>

#include "NMHttp.h"
#include "failure_of.h"
#include "fake_resolver.h"
#include "http_test_server.h"
#include "loopback_http_server.h"

namespace kwirl {
namespace {

using test::failed;
using test::failureCodeOf;
using test::kNoFailure;

using test::ScriptedHttpServer;

const std::string kAccept =
    "Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff\r\n"
    "Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript\r\n";
const std::string kContentType = "Content-type: application/x-www-form-urlencoded\r\n";

// What came of an operation: failed(its code), or what `success` then tells.
template <class Operation, class Success>
std::string outcomeOf(Operation operation, Success success) {
    const int code = failureCodeOf(operation);
    return code == kNoFailure ? success() : failed(code);
}

std::string reply(const std::string& statusLine, const std::string& headers = "", const std::string& body = "") {
    return statusLine + "\r\n" + headers + "\r\n" + body;
}

class HttpTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::installFakeResolver({{"localhost", "127.0.0.1"}}); }

    TNMHTTP http;
};

TEST_F(HttpTest, TheStartUpRequestGoesOnTheWireExactlyAndInTwoSends) {
    ScriptedHttpServer server({reply("HTTP/1.0 200 OK", "Content-Type: text/plain\r\n", "<kk ref=...")});
    int sends = 0;
    http.ReportLevel = 4;
    http.OnStatus = [&](TPowersock*, const std::string& status) { sends += status == "Sending Buffer"; };
    http.InputFileMode = false;
    http.Get(server.address("/index.php?name=servstop"));
    EXPECT_EQ(server.request(0), "GET /index.php?name=servstop HTTP/1.0\r\nHost: 127.0.0.1:" +
                                     std::to_string(server.port()) + "\r\n" + kAccept + kContentType + "\r\n");
    EXPECT_EQ(sends, 2);
    EXPECT_EQ(http.Header, "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n");
    EXPECT_EQ(http.Body, "<kk ref=...");
    EXPECT_EQ(http.StatusCode, 200);
}

TEST_F(HttpTest, EveryOperationSendsExactlyItsRequest) {
    ScriptedHttpServer server({reply("HTTP/1.0 200 OK")});
    const std::string host = "Host: 127.0.0.1:" + std::to_string(server.port()) + "\r\n";
    const std::string common = host + kAccept + kContentType;
    struct Case {
        std::function<void()> send;
        std::string request;
    } cases[] = {
        {[&] { http.Get(server.address("/g")); }, "GET /g HTTP/1.0\r\n" + common + "\r\n"},
        {[&] { http.Options(server.address("/o")); }, "OPTIONS /o HTTP/1.0\r\n" + common + "\r\n"},
        {[&] { http.Head(server.address("/h")); }, "HEAD /h HTTP/1.0\r\n" + common + "\r\n"},
        {[&] { http.Delete(server.address("/d")); }, "DELETE /d HTTP/1.0\r\n" + common + "\r\n"},
        {[&] { http.Post(server.address("/p"), "a=1&b=x y"); },
         "POST /p HTTP/1.0\r\n" + common + "Content-Length: 15\r\n\r\na%3d1%26b%3dx+y"},
        {[&] { http.Put(server.address("/u"), "data"); },
         "PUT /u HTTP/1.0\r\n" + common + "Content-Length: 4\r\n\r\ndata"},
        {[&] { http.Patch(server.address("/a"), "data"); },
         "PATCH /a HTTP/1.0\r\n" + common + "Content-Length: 4\r\n\r\ndata"},
        {[&] { http.Trace(server.address("/t"), "data"); },
         "TRACE /t HTTP/1.0\r\n" + common + "Content-Length: 4\r\n\r\ndata"},
        {[&] { http.Copy(server.address("/c"), "/to"); }, "COPY /c HTTP/1.0\r\n" + common + "URI-header: /to\r\n\r\n"},
        {[&] { http.Move(server.address("/m"), "/to"); }, "MOVE /m HTTP/1.0\r\n" + common + "URI-header: /to\r\n\r\n"},
        {[&] { http.Link(server.address("/l"), "<x>"); },
         "LINK /l HTTP/1.0\r\n" + common + "Link: <x>\r\nContent-Length: 8\r\n\r\nSend.dat"},
        {[&] { http.Unlink(server.address("/n"), "<x>"); },
         "UNLINK /n HTTP/1.0\r\n" + common + "Link: <x>\r\nContent-Length: 8\r\n\r\nSend.dat"},
        {[&] { http.Raw(server.address("/r"), "data"); }, common + "Content-Length: 4\r\n\r\ndata"},
        {[&] {
             http.HeaderInfo = {"me@example.org", "kwirl", "c=1", "http://r.example/", "user", "pass"};
             http.Get(server.address("/i"));
             http.HeaderInfo = {};
         },
         "GET /i HTTP/1.0\r\n" + host + kAccept +
             "User-Agent: kwirl\r\nFrom: me@example.org\r\nCookie: c=1\r\nReferer: http://r.example/\r\n"
             "Authorization: Basic dXNlcjpwYXNz\r\n" +
             kContentType + "\r\n"},
    };
    std::size_t sent = 0;
    for (const auto& c : cases) {
        c.send();
        EXPECT_EQ(server.request(sent++), c.request);
    }
}

TEST_F(HttpTest, OutputFileModeSendsAFileAndWritesTheHeaderToAFile) {
    ScriptedHttpServer server({reply("HTTP/1.0 200 OK", "X-A: 1\r\n", "body")});
    const std::string data = ::testing::TempDir() + "send.bin", head = ::testing::TempDir() + "head.txt";
    std::string content(100 * 1024 + 3, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
    std::ofstream(data, std::ios::binary) << content;
    http.OutputFileMode = true;
    http.Header = head;
    http.TimeOut = 3000;                    // a request cut short would leave the server waiting
    http.Post(server.address("/f"), data);  // the file's bytes as they are: no form encoding
    const std::string request = server.request(0);
    EXPECT_EQ(request.substr(0, request.find("\r\n")), "POST /f HTTP/1.0");
    EXPECT_NE(request.find("\r\nContent-Length: 102403\r\n\r\n"), std::string::npos);
    EXPECT_TRUE(request.substr(request.find("\r\n\r\n") + 4) == content);
    EXPECT_EQ(http.BytesSent, 102403);
    EXPECT_EQ(http.Header, head);
    std::ifstream file(head, std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>()),
              "HTTP/1.0 200 OK\r\nX-A: 1\r\n\r\n");
    EXPECT_EQ(http.Body, "body");

    const std::string missing = ::testing::TempDir() + "no-such-file";
    EXPECT_EQ(failureCodeOf([&] { http.Put(server.address("/f"), missing); }), codeOf(Failure::CannotOpenFile));
    EXPECT_EQ(server.requests().size(), 1u);
    std::remove(data.c_str());
    std::remove(head.c_str());
}

TEST_F(HttpTest, TheEventsOfAnExchangeComeInOrder) {
    ScriptedHttpServer server(
        {reply("HTTP/1.0 302 Found", "Location: /next\r\n"), reply("HTTP/1.0 200 OK", "", "body")});
    std::vector<std::string> events;
    const auto note = [&](const std::string& event) {
        if (events.empty() || events.back() != event) events.push_back(event);  // parts of one body count once
    };
    http.OnAboutToSend = [&](TPowersock*) { note("about to send " + http.RequestPath); };
    http.OnConnect = [&](TPowersock*) { note("connect"); };
    http.OnPacketRecvd = [&](TPowersock*) { note("part of the body"); };
    http.OnDisconnect = [&](TPowersock*) { note("disconnect"); };
    http.OnRedirect = [&](bool&) { note("redirect"); };
    http.OnSuccess = [&](CmdType) { note("success"); };
    http.OnFailure = [&](CmdType) { note("failure"); };
    http.ReportLevel = kReportTransaction;
    http.OnStatus = [&](TPowersock*, const std::string& status) { note(status); };
    http.Get(server.address("/first"));
    EXPECT_EQ(events, (std::vector<std::string>{"about to send /first", "connect", "disconnect", "redirect",
                                                "about to send /next", "connect", "part of the body", "success",
                                                "Transaction Completed", "disconnect"}));
}

TEST_F(HttpTest, TheTimeOutCountsFromTheLastPartOfTheBody) {
    for (const int pauseMs : {150, 900}) {
        test::LoopbackServer server(0, [pauseMs](test::LoopbackServer&, int fd) {
            test::readRequestHead(fd);
            test::sendAll(fd, "HTTP/1.0 200 OK\r\n\r\n");
            for (int part = 0; part < 6; ++part) {
                std::this_thread::sleep_for(std::chrono::milliseconds(part == 3 ? pauseMs : 150));  // a slow network
                if (!test::sendAll(fd, "part " + std::to_string(part) + ";")) return;
            }
        });
        TNMHTTP fresh;
        fresh.TimeOut = 500;  // shorter than the whole body, longer than any pause but the 900 ms one
        const int outcome =
            failureCodeOf([&] { fresh.Get("http://127.0.0.1:" + std::to_string(server.port()) + "/"); });
        if (pauseMs == 150) {
            EXPECT_EQ(outcome, kNoFailure);
            EXPECT_EQ(fresh.Body, "part 0;part 1;part 2;part 3;part 4;part 5;");
        } else {
            EXPECT_EQ(outcome, kInterrupted);  // the capture ended by the time-out
            EXPECT_TRUE(fresh.TimedOut);
        }
    }
}

// An https address through a proxy would need a tunnel, which this client does not make.
TEST_F(HttpTest, NothingIsSentForAnEmptyAddressOrASecureOneThroughAProxy) {
    ScriptedHttpServer server({reply("HTTP/1.0 200 OK")});
    EXPECT_EQ(failureCodeOf([&] { http.Get(""); }), codeOf(Failure::EmptyUrl));
    http.Proxy = "127.0.0.1";
    http.ProxyPort = server.port();
    EXPECT_EQ(failureCodeOf([&] { http.Get("HTTPS://127.0.0.1/"); }), codeOf(Failure::SecureNotSupported));
    http.Proxy.clear();
    EXPECT_TRUE(server.requests().empty());
    EXPECT_EQ(http.Header, "Head.txt");  // untouched by a request that never started
    EXPECT_EQ(http.Body, "Default.htm");
}

TEST_F(HttpTest, AHostAloneRequestsTheRootAndAPortThatIsNoNumberFails) {
    ScriptedHttpServer server({reply("HTTP/1.0 200 OK")});
    http.Get(server.address(""));
    EXPECT_EQ(server.requestLine(0), "GET / HTTP/1.0");
    EXPECT_EQ(http.CurrentUrl, server.address("/"));
    EXPECT_EQ(failureCodeOf([&] { http.Get("http://127.0.0.1:eighty/"); }), codeOf(Failure::BadPort));
}

TEST_F(HttpTest, ThroughAProxyTheWholeAddressIsRequestedWithOneHostLine) {
    ScriptedHttpServer proxy({reply("HTTP/1.0 200 OK")});
    http.Proxy = "127.0.0.1";
    http.ProxyPort = proxy.port();
    http.Get("http://portal.example/index.php?name=x");
    EXPECT_EQ(proxy.request(0),
              "GET http://portal.example/index.php?name=x HTTP/1.0\r\n"
              "Proxy-Connection: Keep-Alive\r\nHost: portal.example\r\n" +
                  kAccept + kContentType + "\r\n");
}

TEST_F(HttpTest, ThroughAProxyRedirectsAndRelativeAddressesAreRequestedWhole) {
    ScriptedHttpServer proxy({reply("HTTP/1.0 302 Found", "Location: /next\r\n"), reply("HTTP/1.0 200 OK")});
    http.Proxy = "127.0.0.1";
    http.ProxyPort = proxy.port();
    http.Get("http://portal.example:8080/start");
    EXPECT_EQ(proxy.requestLine(1), "GET http://portal.example:8080/next HTTP/1.0");
    http.Get("/again");
    EXPECT_EQ(proxy.requestLine(2), "GET http://portal.example:8080/again HTTP/1.0");
}

TEST_F(HttpTest, TheHostLineNamesThePortWhenItIsNot80) {
    ScriptedHttpServer proxy({reply("HTTP/1.0 200 OK")});
    http.Proxy = "127.0.0.1";
    http.ProxyPort = proxy.port();
    http.Get("http://portal.example/");
    http.Get("http://portal.example:8080/");
    http.Proxy.clear();
    http.Get(proxy.address("/"));
    EXPECT_NE(proxy.request(0).find("\r\nHost: portal.example\r\n"), std::string::npos);
    EXPECT_NE(proxy.request(1).find("\r\nHost: portal.example:8080\r\n"), std::string::npos);
    EXPECT_NE(proxy.request(2).find("\r\nHost: 127.0.0.1:" + std::to_string(proxy.port()) + "\r\n"), std::string::npos);
}

TEST_F(HttpTest, RedirectsAreFollowedAndACookieIsCarriedOnTheSameServer) {
    ScriptedHttpServer server({reply("HTTP/1.0 302 Found", "Set-Cookie: id=42; path=/\r\nLocation: /second\r\n"),
                               reply("HTTP/1.0 301 Moved", "Location: third\r\n"),  // a bare page name
                               reply("HTTP/1.0 200 OK", "", "done")});
    http.Get(server.address("/first"));
    EXPECT_EQ(server.requestLine(1), "GET /second HTTP/1.0");
    EXPECT_NE(server.request(1).find("Cookie: id=42; path=/\r\n"), std::string::npos);
    EXPECT_EQ(server.requestLine(2), "GET /third HTTP/1.0");
    EXPECT_EQ(http.Body, "done");
    EXPECT_EQ(http.HeaderInfo.Cookie, "id=42; path=/");
}

TEST_F(HttpTest, AddressesAndCookiesGoOutWholeUpToABoundOnTheRequestLine) {
    const std::string longPath = "/" + std::string(10 * 1024, 'p');
    const std::string longCookie = "id=" + std::string(1000, 'c');
    ScriptedHttpServer server(
        {reply("HTTP/1.0 200 OK"),
         reply("HTTP/1.0 302 Found", "Set-Cookie: " + longCookie + "\r\nLocation: " + longPath + "q\r\n"),
         reply("HTTP/1.0 200 OK")});
    http.Get(server.address(longPath));
    EXPECT_TRUE(server.requestLine(0) == "GET " + longPath + " HTTP/1.0") << server.requestLine(0).size() << " bytes";
    http.Get(server.address("/"));
    EXPECT_TRUE(server.requestLine(2) == "GET " + longPath + "q HTTP/1.0") << server.requestLine(2).size() << " bytes";
    EXPECT_NE(server.request(2).find("\r\nCookie: " + longCookie + "\r\n"), std::string::npos);

    // Beyond the bound nothing is sent: a shorter address would be another page.
    const std::string tooLong = "/" + std::string(TNMHTTP::kMostRequestLine, 'p');
    EXPECT_EQ(failureCodeOf([&] { http.Get(server.address(tooLong)); }), codeOf(Failure::RequestLineTooLong));
    EXPECT_EQ(server.requests().size(), 3u);
}

TEST_F(HttpTest, RedirectTargetsAreResolvedAgainstTheAddressJustRequestedOnTheSameServer) {
    struct Case {
        const char* from;
        std::string location;  // the whole Location line, or none
        const char* requested;
    } cases[] = {
        {"/dir/page", "Location: /list?t=12:30\r\n", "GET /list?t=12:30 HTTP/1.0"},
        {"/dir/page", "Location: data/x?y=1\r\n", "GET /dir/data/x?y=1 HTTP/1.0"},
        {"/dir/sub/page", "Location: ../up\r\n", "GET /dir/up HTTP/1.0"},
        {"/dir/page?old=1", "Location: ?q=1\r\n", "GET /dir/page?q=1 HTTP/1.0"},
        {"/first", "Location: third\r\n", "GET /third HTTP/1.0"},
        {"/first", "Location:  /x\r\n", "GET /x HTTP/1.0"},
        {"/first", "Location: \t/x \t\r\n", "GET /x HTTP/1.0"},
        {"/first", "Location: /a b\tc\r\n", "GET /a%20b%09c HTTP/1.0"},
        {"/first", "Location: /x#part\r\n", "GET /x HTTP/1.0"},
        {"/first", "", "GET / HTTP/1.0"},
    };
    for (const auto& c : cases) {
        ScriptedHttpServer server({reply("HTTP/1.0 302 Found", c.location), reply("HTTP/1.0 200 OK", "", "landed")});
        EXPECT_EQ(failureCodeOf([&] { http.Get(server.address(c.from)); }), kNoFailure) << c.location;
        EXPECT_EQ(server.requestLine(1), c.requested) << c.location;
        EXPECT_EQ(http.Body, "landed") << c.location;
    }
    // Absolute forms name the server themselves.
    const std::pair<std::string, std::string> absolute[] = {
        {"http://127.0.0.1:%/abs", "GET /abs HTTP/1.0"},
        {"HTTP://127.0.0.1:%/abs", "GET /abs HTTP/1.0"},
        {"//127.0.0.1:%/abs", "GET /abs HTTP/1.0"},
        {"http://127.0.0.1:%?t=1:2", "GET /?t=1:2 HTTP/1.0"},  // no path: the root's
    };
    for (const auto& [location, requested] : absolute) {
        ScriptedHttpServer target({reply("HTTP/1.0 200 OK", "", "landed")});
        std::string named = location;
        named.replace(named.find('%'), 1, std::to_string(target.port()));
        ScriptedHttpServer first({reply("HTTP/1.0 302 Found", "Location: " + named + "\r\n")});
        EXPECT_EQ(failureCodeOf([&] { http.Get(first.address("/")); }), kNoFailure) << location;
        EXPECT_EQ(target.requestLine(0), requested) << location;
    }
}

TEST_F(HttpTest, RedirectsThatAreNoHttpAddressOrCarryControlCharactersEndTheExchange) {
    ScriptedHttpServer elsewhere({reply("HTTP/1.0 200 OK", "", "went elsewhere")});
    const std::string other = "127.0.0.1:" + std::to_string(elsewhere.port());
    const std::string locations[] = {
        "h ttp://" + other + "/t",
        "ht3p://" + other + "/",
        "ftp://" + other + "/",
        "http:///x",
        // A port past 65535 would wrap round to another one (here: the other server's).
        "http://127.0.0.1:" + std::to_string(elsewhere.port() + 65536) + "/t",
        "http://127.0.0.1:" + std::to_string(elsewhere.port() + 65536) + ":80/t",
        "http://:" + std::to_string(elsewhere.port()) + "/t",
        "http://127.0.0.1:-1/t",
        "/next\rX-Injected: yes",
        std::string("/next\0X", 7),
    };
    for (const auto& location : locations) {
        ScriptedHttpServer server(
            {reply("HTTP/1.0 302 Found", "Location: " + location + "\r\n"), reply("HTTP/1.0 200 OK", "", "landed")});
        http.TimeOut = 2000;
        EXPECT_EQ(failureCodeOf([&] { http.Get(server.address("/")); }), codeOf(Failure::RedirectRefused)) << location;
        EXPECT_EQ(server.requests().size(), 1u) << location;
    }
    EXPECT_TRUE(elsewhere.requests().empty());
}

TEST_F(HttpTest, ACookieWithAControlCharacterIsNotKept) {
    for (const std::string& cookie :
         {std::string("a=1\rX-Injected: yes"), std::string("a=1\0b", 5), std::string("a=\x7f")}) {
        ScriptedHttpServer server({reply("HTTP/1.0 302 Found", "Set-Cookie: " + cookie + "\r\nLocation: /next\r\n"),
                                   reply("HTTP/1.0 200 OK")});
        TNMHTTP fresh;
        fresh.Get(server.address("/"));
        EXPECT_EQ(server.request(1).find("Cookie"), std::string::npos) << cookie;
        EXPECT_EQ(server.request(1).find("X-Injected"), std::string::npos) << cookie;
        EXPECT_EQ(fresh.HeaderInfo.Cookie, "") << cookie;
    }
}

TEST_F(HttpTest, CredentialsAndCookiesDoNotFollowARedirectToAnotherServer) {
    ScriptedHttpServer other({reply("HTTP/1.0 200 OK", "", "elsewhere")});
    ScriptedHttpServer server({reply("HTTP/1.0 302 Found", "Set-Cookie: secret=1\r\nLocation: http://localhost:" +
                                                               std::to_string(other.port()) + "/landing\r\n")});
    http.HeaderInfo.UserId = "user";
    http.HeaderInfo.Password = "pass";
    http.Get(server.address("/login"));
    EXPECT_NE(server.request(0).find("Authorization: Basic dXNlcjpwYXNz\r\n"), std::string::npos);
    EXPECT_EQ(other.requestLine(0), "GET /landing HTTP/1.0");
    EXPECT_NE(other.request(0).find("Host: localhost:" + std::to_string(other.port()) + "\r\n"), std::string::npos);
    EXPECT_EQ(other.request(0).find("Authorization"), std::string::npos);
    EXPECT_EQ(other.request(0).find("Cookie"), std::string::npos);
    EXPECT_EQ(http.Body, "elsewhere");
}

TEST_F(HttpTest, AHandledRedirectEndsTheCall) {
    ScriptedHttpServer server({reply("HTTP/1.0 302 Found", "Location: /next\r\n"), reply("HTTP/1.0 200 OK")});
    http.OnRedirect = [](bool& handled) { handled = true; };
    http.Get(server.address("/first"));
    EXPECT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(http.StatusCode, 302);
}

TEST_F(HttpTest, RedirectsAreBoundedAndOtherThreeHundredsEndTheExchange) {
    ScriptedHttpServer loop({reply("HTTP/1.0 302 Found", "Location: /again\r\n")});
    EXPECT_EQ(failureCodeOf([&] { http.Get(loop.address("/again")); }), codeOf(Failure::TooManyRedirects));
    EXPECT_EQ(loop.requests().size(), 21u);

    for (const char* status : {"HTTP/1.0 303 See Other", "HTTP/1.0 307 Temporary", "HTTP/1.0 299 Odd"}) {
        ScriptedHttpServer once({reply(status, "Location: /elsewhere\r\n", "body")});
        http.Get(once.address("/"));
        EXPECT_EQ(once.requests().size(), 1u) << status;
        EXPECT_EQ(http.Body, "body");
    }
}

TEST_F(HttpTest, ErrorRepliesFireFailureAndKeepTheirBody) {
    ScriptedHttpServer server({reply("HTTP/1.0 404 Not Found", "", "missing page")});
    int failures = 0, successes = 0;
    CmdType command = CmdRAW;
    http.OnFailure = [&](CmdType cmd) { ++failures, command = cmd; };
    http.OnSuccess = [&](CmdType) { ++successes; };
    http.Get(server.address("/nothing"));
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(successes, 0);
    EXPECT_EQ(command, CmdGET);
    EXPECT_EQ(http.Body, "missing page");
}

TEST_F(HttpTest, RepliesWithoutAStatusLineAreFailuresAndInterimRepliesAreSkipped) {
    struct Case {
        std::string reply;
        std::string outcome;  // the failure, or the status, header and body
    } cases[] = {
        {"", failed(Failure::NoReply)},
        {"hello there\r\n", failed(Failure::NoStatusLine)},
        {"SSH-2.0-OpenSSH_9.2p1\r\n", failed(Failure::NoStatusLine)},
        {"HTTP/1.0 20x OK\r\n\r\nbody", failed(Failure::MalformedStatusLine)},
        {"HTTP/1.0 99999 X\r\n\r\nbody", failed(Failure::MalformedStatusLine)},
        {"HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n", failed(Failure::HeaderCutShort)},
        {"HTTP/1.0 200 OK\r\nX-Half", failed(Failure::HeaderCutShort)},
        {"HTTP/1.0 200\r\n\r\nbody", "200 | HTTP/1.0 200\r\n\r\n | body"},
        {"HTTP/1.0 404\r\n\r\n", "404 | HTTP/1.0 404\r\n\r\n | "},
        {"HTTP/1.1 100 Continue\r\n\r\nHTTP/1.0 404 Not Found\r\n\r\nmissing",
         "404 | HTTP/1.0 404 Not Found\r\n\r\n | missing"},
        {"HTTP/1.1 100 Continue\r\nX-A: 1\r\n\r\nHTTP/1.1 102 Processing\r\n\r\nHTTP/1.0 200 OK\r\n\r\nbody",
         "200 | HTTP/1.0 200 OK\r\n\r\n | body"},
    };
    for (const auto& c : cases) {
        ScriptedHttpServer server({c.reply});
        TNMHTTP fresh;
        int successes = 0, failures = 0;
        fresh.OnSuccess = [&](CmdType) { ++successes; };
        fresh.OnFailure = [&](CmdType) { ++failures; };
        const std::string outcome =
            outcomeOf([&] { fresh.Get(server.address("/")); },
                      [&] {
                          EXPECT_EQ(successes + failures, 1) << c.reply;
                          EXPECT_EQ(failures, fresh.StatusCode >= 400 ? 1 : 0) << c.reply;
                          return std::to_string(fresh.StatusCode) + " | " + fresh.Header + " | " + fresh.Body;
                      });
        if (outcome.starts_with("failure")) {
            EXPECT_EQ(successes + failures, 0) << c.reply;
        }
        EXPECT_EQ(outcome, c.outcome) << c.reply;
    }
}

TEST_F(HttpTest, ABodyWithAContentLengthIsExactlyThatLong) {
    struct Case {
        std::string reply;
        bool held;            // the server keeps the connection open after the reply
        std::string outcome;  // the failure, or the body
    } cases[] = {
        {reply("HTTP/1.0 200 OK", "Content-Length: 677654\r\n", "0123456789"), false, failed(Failure::BodyShort)},
        {reply("HTTP/1.0 200 OK", "Content-Length: 5\r\n", "hello"), true, "hello"},
        {reply("HTTP/1.0 200 OK", "Content-Length: 5\r\n", "helloEXTRA!!"), false, "hello"},
        {reply("HTTP/1.0 200 OK", "Content-Length: 0\r\n", "EXTRA"), true, ""},
        {reply("HTTP/1.0 200 OK", "Content-Length:  12 \r\n", "twelve bytes"), true, "twelve bytes"},
        {reply("HTTP/1.0 200 OK", "Content-Length: 1x\r\n", "to the close"), false, "to the close"},
        {reply("HTTP/1.0 200 OK", "", "to the close"), false, "to the close"},
        {reply("HTTP/1.0 304 Not Modified", "Content-Length: 100\r\n"), false, ""},
        {reply("HTTP/1.0 200 OK", "Content-Length: 268435457\r\n", "x"), true, failed(Failure::BodyTooLong)},
    };
    for (const auto& c : cases) {
        test::LoopbackServer server(0, [&c](test::LoopbackServer&, int fd) {
            test::readRequestHead(fd);
            test::sendAll(fd, c.reply);
            if (c.held) test::waitForClose(fd);
        });
        TNMHTTP fresh;
        fresh.TimeOut = 3000;
        const std::string address = "http://127.0.0.1:" + std::to_string(server.port()) + "/";
        EXPECT_EQ(outcomeOf([&] { fresh.Get(address); }, [&] { return fresh.Body; }), c.outcome) << c.reply;
    }
}

TEST_F(HttpTest, AContentLengthEndsTheBodyInAFileTooButNotAHeadReply) {
    ScriptedHttpServer server({reply("HTTP/1.0 200 OK", "Content-Length: 5\r\n", "helloEXTRA"),
                               reply("HTTP/1.0 200 OK", "Content-Length: 50\r\n", "short"),
                               reply("HTTP/1.0 200 OK", "Content-Length: 32\r\n")});
    const std::string name = ::testing::TempDir() + "length.bin";
    http.InputFileMode = true;
    http.Body = name;
    http.Get(server.address("/"));
    std::ifstream file(name, std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>()), "hello");
    EXPECT_EQ(failureCodeOf([&] { http.Get(server.address("/")); }), codeOf(Failure::BodyShort));
    std::remove(name.c_str());

    http.InputFileMode = false;
    http.Head(server.address("/"));  // its Content-Length describes what a GET would get
    EXPECT_EQ(http.ContentLength, 32);
    EXPECT_EQ(http.Body, "");
}

TEST_F(HttpTest, ContentLengthIsReadOnlyWithItsBlank) {
    ScriptedHttpServer with({reply("HTTP/1.0 200 OK", "Content-Length: 5\r\n", "short")});
    http.Get(with.address("/"));
    EXPECT_EQ(http.ContentLength, 5);
    ScriptedHttpServer without({reply("HTTP/1.0 200 OK", "Content-Length:5\r\n", "read to the close")});
    http.Get(without.address("/"));
    EXPECT_EQ(http.ContentLength, 0);
    EXPECT_EQ(http.Body, "read to the close");
}

TEST_F(HttpTest, CredentialsNeedBothPartsAndAreOneLineHoweverLong) {
    ScriptedHttpServer server({reply("HTTP/1.0 200 OK")});
    http.HeaderInfo.UserId = "user";
    http.Get(server.address("/"));
    EXPECT_EQ(server.request(0).find("Authorization"), std::string::npos);

    http.HeaderInfo.UserId = std::string(40, 'u');
    http.HeaderInfo.Password = std::string(40, 'p');
    http.Get(server.address("/"));
    const std::string request = server.request(1);
    const auto start = request.find("Authorization: Basic ");
    ASSERT_NE(start, std::string::npos);
    const auto end = request.find("\r\n", start);
    EXPECT_EQ(end - start, std::string("Authorization: Basic ").size() + 108);  // 81 bytes -> 108 characters
    EXPECT_EQ(request.find("Content-type", end), end + 2);                      // no line break inside the value
}

TEST_F(HttpTest, RequestDataGoesOutWholeZeroBytesIncluded) {
    ScriptedHttpServer server({reply("HTTP/1.0 200 OK")});
    std::string large(100 * 1024 + 7, '\0');
    for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 31);
    http.TimeOut = 3000;  // a request cut short would leave the server waiting
    http.EncodePostData = false;
    const std::pair<const char*, void (TNMHTTP::*)(const std::string&, const std::string&)> operations[] = {
        {"Put", &TNMHTTP::Put},
        {"Patch", &TNMHTTP::Patch},
        {"Trace", &TNMHTTP::Trace},
        {"Raw", &TNMHTTP::Raw},
        {"unencoded Post", &TNMHTTP::Post}};
    std::size_t sent = 0;
    for (const std::string& data : {std::string("a\0b\r\n\0", 6), large}) {
        for (const auto& [name, operation] : operations) {
            EXPECT_EQ(failureCodeOf([&] { (http.*operation)(server.address("/d"), data); }), kNoFailure) << name;
            const std::string request = server.request(sent++);
            const auto headEnd = request.find("Content-Length: " + std::to_string(data.size()) + "\r\n\r\n");
            ASSERT_NE(headEnd, std::string::npos) << name;
            EXPECT_TRUE(request.substr(request.find("\r\n\r\n") + 4) == data)
                << name << ", " << data.size() << " bytes";
        }
    }
}

TEST_F(HttpTest, InputFileModeWritesTheBodyToAFile) {
    ScriptedHttpServer server({reply("HTTP/1.0 200 OK", "", std::string("bin\0ary", 7))});
    const std::string name = ::testing::TempDir() + "body.bin";
    http.InputFileMode = true;
    http.Body = name;
    http.Get(server.address("/"));
    EXPECT_EQ(http.Body, name);
    EXPECT_EQ(http.Header, "HTTP/1.0 200 OK\r\n\r\n");
    std::ifstream file(name, std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>()),
              std::string("bin\0ary", 7));
    std::remove(name.c_str());
}

TEST_F(HttpTest, AFileThatCannotBeWrittenFailsTheRequestNamingTheFileAndTheReason) {
    ScriptedHttpServer server({reply("HTTP/1.0 200 OK", "", std::string(100000, 'b'))});
    const std::string missing = ::testing::TempDir() + "no-such-folder/file";
    struct Case {
        bool bodyToFile, headerToFile;
        std::string file;
        int failure;
    } cases[] = {
        {true, false, "/dev/full", codeOf(Failure::CannotWriteFile)},
        {false, true, "/dev/full", codeOf(Failure::CannotWriteFile)},
        {true, false, missing, codeOf(Failure::CannotCreateFile)},
    };
    for (const auto& c : cases) {
        TNMHTTP fresh;
        fresh.InputFileMode = c.bodyToFile;
        fresh.OutputFileMode = c.headerToFile;
        if (c.bodyToFile) fresh.Body = c.file;
        if (c.headerToFile) fresh.Header = c.file;
        EXPECT_EQ(failureCodeOf([&] { fresh.Get(server.address("/")); }), c.failure) << c.file;
    }
}

TEST_F(HttpTest, AFailureClosesTheSocketFiresNoOutcomeAndTheNextRequestWorks) {
    ScriptedHttpServer broken({"no reply at all\r\n"});
    ScriptedHttpServer working({reply("HTTP/1.0 200 OK", "", "fine")});
    int outcomes = 0, disconnects = 0;
    http.OnSuccess = [&](CmdType) { ++outcomes; };
    http.OnFailure = [&](CmdType) { ++outcomes; };
    http.OnDisconnect = [&](TPowersock*) { ++disconnects; };
    for (const auto& [address, failure] :
         {std::pair{"http://127.0.0.1:" + std::to_string(test::unusedLoopbackPort()) + "/",
                    socketErrorCode(ECONNREFUSED)},
          std::pair{broken.address("/"), codeOf(Failure::NoStatusLine)}}) {
        disconnects = 0;
        EXPECT_EQ(failureCodeOf([&] { http.Get(address); }), failure);
        EXPECT_EQ(outcomes, 0) << failure;
        EXPECT_GE(disconnects, 1) << failure;  // closed before the failure left the call
        http.Get(working.address("/"));
        EXPECT_EQ(http.Body, "fine") << failure;
        outcomes = 0;
    }
}

// A component derived from the HTTP client, as a program derives its own.
class TAbortCountingHttp final : public TNMHTTP {
public:
    explicit TAbortCountingHttp(int& aborts) : aborts_(aborts) {}
    ~TAbortCountingHttp() override { Teardown(); }
    void Abort() override {
        ++aborts_;
        TNMHTTP::Abort();
    }

private:
    int& aborts_;
};

// Its own Abort is the one that ends its work when it is destroyed, once,
// though the transport's destructor runs after its own.
TEST(HttpTeardown, DestructionRunsTheAbortOfTheComponentsOwnClassOnce) {
    const TPowersock first;  // the socket library is started while it lives
    int aborts = 0;
    {
        TAbortCountingHttp http(aborts);  // destroyed at the brace
    }
    EXPECT_EQ(aborts, 1);
    // Torn down once: the library is not taken for stopped while one component lives.
    const TPowersock later;
    EXPECT_TRUE(later.WinsockInfo.empty());
}

TEST_F(HttpTest, UnauthorisedRepliesAskForAuthentication) {
    ScriptedHttpServer server({reply("HTTP/1.0 401 Unauthorized")});
    int asked = 0;
    http.OnAuthenticationNeeded = [&](TPowersock*) { ++asked; };
    http.Get(server.address("/"));
    EXPECT_EQ(asked, 1);
}

}  // namespace
}  // namespace kwirl
