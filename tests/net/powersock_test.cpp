// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include "Psock.h"
#include "application_exception.h"
#include "event_loop.h"
#include "failure_of.h"
#include "fake_resolver.h"
#include "loopback_http_server.h"

namespace kwirl {
namespace {

using test::clientFailureOf;
using test::failureCodeOf;

using test::LoopbackServer;
using Clock = std::chrono::steady_clock;

// Holds the connection open and sends nothing until the client goes.
void staySilent(LoopbackServer&, int fd) { test::waitForClose(fd); }

// Rounds the main loop turns in `ms` milliseconds: a socket that reported
// itself ready again and again would turn it by the thousand.
int roundsOfTheMainLoopIn(guint ms) {
    int rounds = 0;
    bool over = false;
    const GSourceFunc markOver = [](gpointer flag) { return *static_cast<bool*>(flag) = true, G_SOURCE_REMOVE; };
    g_timeout_add(ms, markOver, &over);
    while (!over) g_main_context_iteration(nullptr, TRUE), ++rounds;
    return rounds;
}

// Sends the parts one after another, a little apart, then closes.
LoopbackServer::ConnectionHandler sendParts(std::vector<std::string> parts, int pauseMs = 0) {
    return [parts, pauseMs](LoopbackServer&, int fd) {
        for (const auto& part : parts) {
            if (pauseMs) std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));  // a slow network
            test::sendAll(fd, part);
        }
    };
}

class PowersockTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::installFakeResolver({{"localhost", "127.0.0.1"}}); }

    void connectTo(const LoopbackServer& server, const std::string& host = "127.0.0.1") {
        sock.Host = host;
        sock.Port = server.port();
        sock.Connect();
    }

    TPowersock sock;
};

TEST_F(PowersockTest, ARefusedConnectionFailsAfterTellingTheHandler) {
    bool told = false;
    sock.OnConnectionFailed = [&](TPowersock*) { told = true; };
    sock.Host = "127.0.0.1";
    sock.Port = test::unusedLoopbackPort();
    EXPECT_EQ(clientFailureOf([&] { sock.Connect(); }), Failure::ConnectionFailed);
    EXPECT_TRUE(told);
    EXPECT_EQ(sock.LastError, 10061);
}

TEST_F(PowersockTest, ReadLnTimesOutOnASilentServer) {
    LoopbackServer server(0, staySilent);
    connectTo(server);
    sock.TimeOut = 500;
    const auto start = Clock::now();
    try {
        sock.ReadLn();
        FAIL() << "no time-out";
    } catch (const EAbortError& error) {
        EXPECT_EQ(error.failure(), Failure::ReadLineAborted);
    }
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    EXPECT_GE(waited, 450);
    EXPECT_LT(waited, 3000);
    EXPECT_FALSE(sock.Canceled);
    EXPECT_TRUE(sock.TimedOut);
}

TEST_F(PowersockTest, ACancelFromAHandlerEndsTheWait) {
    LoopbackServer server(0, staySilent);
    connectTo(server);
    const GSourceFunc cancel = [](gpointer self) { return static_cast<TPowersock*>(self)->Cancel(), G_SOURCE_REMOVE; };
    g_timeout_add(100, cancel, &sock);
    EXPECT_EQ(clientFailureOf([&] { sock.ReadLn(); }), Failure::ReadLineAborted);
    EXPECT_FALSE(sock.TimedOut);
    EXPECT_FALSE(sock.Canceled);
}

TEST_F(PowersockTest, NamesAreLookedUpButDottedAddressesAreNot) {
    LoopbackServer server(0, staySilent);
    int resolved = 0;
    sock.OnHostResolved = [&](TPowersock*) { ++resolved; };
    const int lookupsBefore = test::fakeResolverLookups();
    connectTo(server, "127.0.0.1");
    EXPECT_TRUE(sock.Connected);
    EXPECT_EQ(resolved, 0);
    EXPECT_EQ(test::fakeResolverLookups(), lookupsBefore);
    sock.Disconnect();
    connectTo(server, "localhost");
    EXPECT_TRUE(sock.Connected);
    EXPECT_EQ(resolved, 1);
}

TEST_F(PowersockTest, AnUnresolvableNameGivesNullRemoteAddressUnlessTheHandlerMendsIt) {
    LoopbackServer server(0, staySilent);
    EXPECT_EQ(clientFailureOf([&] { connectTo(server, "no-such-host.invalid"); }), Failure::NoRemoteAddress);

    int asked = 0;
    sock.OnInvalidHost = [&](bool& handled) {
        ++asked;
        sock.Host = "localhost";
        handled = true;
    };
    connectTo(server, "no-such-host.invalid");
    EXPECT_TRUE(sock.Connected);
    EXPECT_EQ(asked, 1);
    sock.Disconnect();

    // Asked once only: a second bad name fails.
    sock.OnInvalidHost = [&](bool& handled) {
        ++asked;
        sock.Host = "still-no-such-host.invalid";
        handled = true;
    };
    EXPECT_EQ(clientFailureOf([&] { connectTo(server, "no-such-host.invalid"); }), Failure::NoRemoteAddress);
    EXPECT_EQ(asked, 2);
}

TEST_F(PowersockTest, ConnectingTwiceIsRefusedAndDisconnectGivesAFreshSocket) {
    LoopbackServer server(0, staySilent);
    int disconnects = 0;
    sock.OnDisconnect = [&](TPowersock*) { ++disconnects; };
    connectTo(server);
    EXPECT_EQ(clientFailureOf([&] { sock.Connect(); }), Failure::AlreadyConnected);
    sock.Disconnect();
    EXPECT_FALSE(sock.Connected);
    EXPECT_EQ(disconnects, 1);
    connectTo(server);
    EXPECT_TRUE(sock.Connected);
}

// Each failure carries the table's code for what failed: callers decide by
// the code, and the message stays for people.
TEST_F(PowersockTest, FailuresCarryTheTableCodeOfWhatFailed) {
    LoopbackServer server(0, staySilent);
    EXPECT_EQ(failureCodeOf([&] { TPowersock().ReadLn(); }), kNotConnected);
    EXPECT_EQ(failureCodeOf([&] { connectTo(server, "no-such-host.invalid"); }), kDestinationRequired);
    connectTo(server);
    EXPECT_EQ(failureCodeOf([&] { sock.Connect(); }), kAlreadyConnected);
    sock.TimeOut = 100;
    EXPECT_EQ(failureCodeOf([&] { sock.ReadLn(); }), kInterrupted);
    sock.Disconnect();
    sock.Port = test::unusedLoopbackPort();
    EXPECT_EQ(failureCodeOf([&] { sock.Connect(); }), socketErrorCode(ECONNREFUSED));
}

TEST_F(PowersockTest, ReadLnReturnsOneLineAtATimeWithItsTerminator) {
    LoopbackServer server(0, sendParts({"first\r\nsecond\nthi", "rd"}));
    connectTo(server);
    EXPECT_EQ(sock.ReadLn(), "first\r\n");
    EXPECT_EQ(sock.ReadLn(), "second\n");
    EXPECT_EQ(sock.ReadLn(), "third");  // the unfinished last line is kept
    EXPECT_EQ(sock.ReadLn(), "");       // then: closed, nothing pending
}

TEST_F(PowersockTest, ALineArrivingInPiecesIsAssembled) {
    LoopbackServer server(0, sendParts({"HT", "TP/1.0 2", "00 OK\r", "\n"}, 20));
    connectTo(server);
    sock.TimeOut = 5000;
    EXPECT_EQ(sock.ReadLn(), "HTTP/1.0 200 OK\r\n");
}

TEST_F(PowersockTest, ALineLongerThanTheBufferIsAnError) {
    LoopbackServer server(0, sendParts({std::string(TPowersock::kBufferSize + 10, 'x') + "\r\n"}));
    connectTo(server);
    EXPECT_EQ(clientFailureOf([&] { sock.ReadLn(); }), Failure::LineTooLong);
}

TEST_F(PowersockTest, ReadLnWithoutAConnectionIsNotConnected) {
    EXPECT_EQ(failureCodeOf([&] { sock.ReadLn(); }), kNotConnected);
}

TEST_F(PowersockTest, CaptureTakesEveryPartUntilTheServerCloses) {
    LoopbackServer server(0, sendParts({"a", "b", "c", std::string(200000, 'd')}, 15));
    connectTo(server);
    int parts = 0;
    sock.OnPacketRecvd = [&](TPowersock*) { ++parts; };
    std::string text;
    sock.CaptureString(text, -1);
    EXPECT_EQ(text, "abc" + std::string(200000, 'd'));
    EXPECT_EQ(sock.BytesReceived, 200003);
    EXPECT_GE(parts, 4);
}

TEST_F(PowersockTest, CaptureStopsAtItsLimitAndLeavesTheRestWaiting) {
    LoopbackServer server(0, [](LoopbackServer&, int fd) {
        test::sendAll(fd, std::string(10, 'a') + std::string(990, 'b'));
        test::waitForClose(fd);
    });
    connectTo(server);
    sock.TimeOut = 3000;  // the server holds the connection open: the limit alone ends each capture
    std::string text;
    sock.CaptureString(text, 10);
    EXPECT_EQ(text, std::string(10, 'a'));
    sock.CaptureString(text, 990);
    EXPECT_EQ(text, std::string(990, 'b'));
}

TEST_F(PowersockTest, CaptureFileWritesWhatArrives) {
    LoopbackServer server(0, sendParts({"line one\n", "line two\n"}, 10));
    connectTo(server);
    const std::string name = ::testing::TempDir() + "capture.bin";
    sock.CaptureFile(name);
    std::ifstream file(name, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "line one\nline two\n");
    std::remove(name.c_str());
}

TEST_F(PowersockTest, WritesArriveAndTransactionReadsTheReplyNumber) {
    LoopbackServer server(0, [](LoopbackServer& self, int fd) {
        std::string line;
        char byte;
        while (recv(fd, &byte, 1, 0) == 1 && byte != '\n') line += byte;
        self.recordRequestLine(line);
        test::sendAll(fd, "250 Fine\r\n");
        test::waitForClose(fd);
    });
    connectTo(server);
    EXPECT_EQ(sock.Transaction("HELO there"), "250 Fine\r\n");
    EXPECT_EQ(sock.StatusCode, 250);
    EXPECT_EQ(server.requestLines(), (std::vector<std::string>{"HELO there\r"}));
}

TEST_F(PowersockTest, SendFileSendsAWholeFileLargerThanTheBuffer) {
    // The first socket closes with a reset, which drops unsent bytes: the
    // server says when it has everything before the test disconnects.
    std::string received;
    LoopbackServer server(0, [&received](LoopbackServer& self, int fd) {
        char chunk[8192];
        ssize_t got;
        while (received.size() < 300000 && (got = recv(fd, chunk, sizeof chunk, 0)) > 0)
            received.append(chunk, static_cast<std::size_t>(got));
        self.recordRequestLine("done");
    });
    const std::string name = ::testing::TempDir() + "send.bin";
    std::string content;
    for (int i = 0; i < 300000; ++i) content += static_cast<char>(i * 7);
    std::ofstream(name, std::ios::binary) << content;
    connectTo(server);
    sock.SendFile(name);
    EXPECT_EQ(sock.BytesSent, 300000);
    ASSERT_TRUE(test::runLoopUntil([&] { return !server.requestLines().empty(); }, 5000));
    EXPECT_TRUE(received == content) << received.size() << " bytes received";
    std::remove(name.c_str());
}

TEST_F(PowersockTest, StatusLevelsFilterTheReports) {
    LoopbackServer server(0, staySilent);
    std::vector<std::string> reported;
    sock.OnStatus = [&](TPowersock*, const std::string& status) { reported.push_back(status); };
    sock.ReportLevel = 4;
    connectTo(server);
    sock.Write("x");
    sock.Disconnect();
    const auto has = [&](const char* text) {
        return std::find(reported.begin(), reported.end(), text) != reported.end();
    };
    EXPECT_TRUE(has("Sending Buffer"));
    EXPECT_TRUE(has("Request Close Socket"));
    EXPECT_FALSE(has("Connecting"));
    EXPECT_FALSE(has("Write"));
    reported.clear();
    sock.ReportLevel = 0;
    sock.Cancel();
    EXPECT_TRUE(reported.empty());
}

TEST_F(PowersockTest, AnIdleConnectionClosedByTheServerIsNoticedWithoutSpinning) {
    LoopbackServer server(0, sendParts({}));
    bool disconnected = false;
    sock.OnDisconnect = [&](TPowersock*) { disconnected = true; };
    connectTo(server);
    const int rounds = roundsOfTheMainLoopIn(300);
    EXPECT_TRUE(disconnected);
    EXPECT_FALSE(sock.Connected);
    EXPECT_LT(rounds, 50);
}

// Data nobody reads yet is announced once: the socket is asked again only when
// it is read, so an unread socket does not keep the main loop turning.
TEST_F(PowersockTest, DataNobodyReadsIsAnnouncedOnceAndTheLoopRests) {
    LoopbackServer server(0, [](LoopbackServer&, int fd) {
        test::sendAll(fd, "hello");
        test::waitForClose(fd);
    });
    int announced = 0;
    sock.OnDataAvailable = [&](TPowersock*) { ++announced; };
    connectTo(server);
    const int rounds = roundsOfTheMainLoopIn(300);
    EXPECT_EQ(announced, 1);
    EXPECT_LT(rounds, 50);
}

// A listener whose queue of pending connections is full: a further connect
// gets no answer and waits.
class FullListener {
public:
    FullListener() : listener_(test::listenOnLoopback(0, 0, port_)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port_);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        filler_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        connect(filler_, reinterpret_cast<sockaddr*>(&address), sizeof address);  // takes the one place
    }
    ~FullListener() {
        close(filler_);
        close(listener_);
    }
    std::uint16_t port() const { return port_; }

private:
    std::uint16_t port_ = 0;
    int listener_ = -1;
    int filler_ = -1;
};

TEST_F(PowersockTest, ALookupOrAConnectEndsByItsTimeOutOrACancel) {
    test::installFakeResolver({{"localhost", "127.0.0.1"}, {"silent.example", ""}});
    FullListener full;
    struct Case {
        const char* host;
        bool cancel;  // else the time-out
        Failure failure;
    } cases[] = {
        {"silent.example", false, Failure::HostLookupTimedOut},
        {"silent.example", true, Failure::HostLookupCanceled},
        {"127.0.0.1", false, Failure::ConnectionTimedOut},
        {"127.0.0.1", true, Failure::ConnectionCanceled},
    };
    for (const auto& c : cases) {
        TPowersock fresh;
        int failedConnects = 0;
        fresh.OnConnectionFailed = [&](TPowersock*) { ++failedConnects; };
        fresh.Host = c.host;
        fresh.Port = full.port();
        fresh.TimeOut = c.cancel ? 0 : 300;
        if (c.cancel) {
            g_timeout_add(
                300, [](gpointer self) { return static_cast<TPowersock*>(self)->Cancel(), G_SOURCE_REMOVE; }, &fresh);
        }
        const auto start = Clock::now();
        EXPECT_EQ(clientFailureOf([&] { fresh.Connect(); }), c.failure) << c.host;
        const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        EXPECT_GE(waited, 250) << c.failure;
        EXPECT_LT(waited, 5000) << c.failure;
        EXPECT_EQ(failedConnects, std::string(c.host) == "127.0.0.1" ? 1 : 0) << c.failure;
    }
    test::installFakeResolver({{"localhost", "127.0.0.1"}});
}

TEST(ThreadTimer, RepeatsWhileEnabledAndStopsWhenDisabled) {
    TThreadTimer timer;
    int ticks = 0;
    timer.SetInterval(20);
    timer.SetOnTimer([&](TThreadTimer* self) {
        if (++ticks == 3) self->SetEnabled(false);
    });
    EXPECT_TRUE(test::runLoopUntil([&] { return ticks >= 3; }, 5000));
    test::runLoopFor(100);
    EXPECT_EQ(ticks, 3);
}

TEST(ThreadTimer, AHandlersExceptionGoesToTheApplicationAndTheTimerGoesOn) {
    std::vector<std::string> shown;
    SetApplicationExceptionHandler([&](std::exception_ptr failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const std::exception& error) {
            shown.push_back(error.what());
        }
    });
    TThreadTimer timer;
    int ticks = 0;
    timer.SetInterval(10);
    timer.SetOnTimer([&](TThreadTimer* self) {
        if (++ticks == 2) self->SetEnabled(false);
        throw ESockError(kInterrupted, "Tick " + std::to_string(ticks) + " failed");
    });
    EXPECT_TRUE(test::runLoopUntil([&] { return shown.size() == 2; }, 5000));
    EXPECT_EQ(shown, (std::vector<std::string>{"Tick 1 failed", "Tick 2 failed"}));

    // Without a hook the exception is dropped, and nothing unwinds through the loop.
    SetApplicationExceptionHandler(nullptr);
    timer.SetEnabled(true);
    EXPECT_TRUE(test::runLoopUntil([&] { return ticks >= 3; }, 5000));
}

}  // namespace
}  // namespace kwirl
