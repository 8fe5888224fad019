// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cerrno>
#include <set>
#include <string>
#include <vector>

#include "sock_errors.h"

namespace kwirl {
namespace {

TEST(SocketErrors, MessagesComeFromTheTable) {
    EXPECT_EQ(socketErrorMessage(10061), "10061:Connection refused");
    EXPECT_EQ(socketErrorMessage(10060), "10060:Connection timed out");
    EXPECT_EQ(socketErrorMessage(11004), "11004:Valid name, no data record of requested type");
    EXPECT_EQ(socketErrorMessage(12345), "Unknown Error No. 12345");
    EXPECT_EQ(socketErrorMessage(0), "Unknown Error No. 0");
}

TEST(SocketErrors, PosixErrorsMapOntoTheTable) {
    EXPECT_EQ(socketErrorMessage(socketErrorCode(ECONNREFUSED)), "10061:Connection refused");
    EXPECT_EQ(socketErrorCode(EWOULDBLOCK), kWouldBlock);
    EXPECT_EQ(socketErrorCode(EAGAIN), kWouldBlock);
    EXPECT_EQ(socketErrorCode(ENOTCONN), kNotConnected);
    EXPECT_EQ(socketErrorCode(ECONNRESET), 10054);
    EXPECT_EQ(socketErrorCode(EPIPE), 10058);
    // An errno without an entry still reads as an error, not as a table entry.
    EXPECT_EQ(socketErrorCode(ENODATA), 20000 + ENODATA);
    EXPECT_EQ(socketErrorMessage(socketErrorCode(ENODATA)).rfind("Unknown Error No. ", 0), 0u);
}

// The one place the client's own texts are checked: each failure says what it
// says word for word; each of the HTTP client's has a code of its own, above
// every socket code, and each of the transport's the socket code of what failed.
TEST(SocketErrors, EachFailureOfTheClientsOwnHasItsCodeAndItsText) {
    constexpr int kOwn = 0;  // a code of its own
    using enum Failure;
    struct Case {
        Failure failure;
        std::vector<std::string> details;
        std::string text;
        int code;
    } cases[] = {
        {EmptyUrl, {}, "Empty URL", kOwn},
        {SecureNotSupported, {}, "HTTP Secure Socket is not supported", kOwn},
        {BadAddress, {}, "Address holds a control character", kOwn},
        {BadPort, {"eighty"}, "'eighty' is not a valid integer value", kOwn},
        {RequestLineTooLong, {"65536"}, "Request line longer than 65536 bytes", kOwn},
        {NoReply, {}, "No reply: the connection closed before a status line", kOwn},
        {NoStatusLine, {}, "Reply without a status line", kOwn},
        {MalformedStatusLine, {}, "Reply with a malformed status line", kOwn},
        {HeaderTooLong, {"1048576"}, "Reply header longer than 1048576 bytes", kOwn},
        {HeaderCutShort, {}, "Reply header ended before its blank line", kOwn},
        {BodyTooLong, {"268435456"}, "Reply body longer than 268435456 bytes", kOwn},
        {BodyShort, {"5", "50"}, "Reply body ended after 5 of 50 bytes", kOwn},
        {TooManyRedirects, {"20"}, "Too many redirects: more than 20 followed", kOwn},
        {RedirectRefused,
         {"the Location is no valid address"},
         "Redirect refused: the Location is no valid address",
         kOwn},
        {CannotOpenFile,
         {"a{}b", "No such file or directory"},
         "Cannot open file \"a{}b\": No such file or directory",
         kOwn},
        {CannotCreateFile, {"f", "Permission denied"}, "Cannot create file \"f\": Permission denied", kOwn},
        {CannotWriteFile,
         {"/dev/full", "No space left on device"},
         "Cannot write file \"/dev/full\": No space left on device",
         kOwn},
        {SocketsUnavailable, {}, "Initializaton of windows sockets failed", kNetworkUnavailable},
        {HostLookupTimedOut, {}, "Host Lookup Timed Out", kTimedOut},
        {HostLookupCanceled, {}, "Host Lookup Canceled", kInterrupted},
        {HostLookupFailed, {}, "Host Lookup Failed", kHostNotFound},
        {AlreadyConnected, {}, "Already connected", kAlreadyConnected},
        {NoRemoteAddress, {}, "Null Remote Address", kDestinationRequired},
        {ConnectionTimedOut, {}, "Connection Timed out", kTimedOut},
        {ConnectionCanceled, {}, "Connection Canceled", kInterrupted},
        {AcceptNotSupported, {}, "Accepting is not supported: this component opens no listening socket", kNotSupported},
        {SendAborted, {}, "Socket send aborted", kInterrupted},
        {LineTooLong, {"65536"}, "Socket readln line longer than 65536 bytes", kMessageTooLong},
        {ReadLineAborted, {}, "Socket readln aborted", kInterrupted},
        {CaptureAborted, {}, "Socket capture aborted", kInterrupted},
    };
    std::set<int> own;
    for (const auto& c : cases) {
        const ESockError failure = clientFailure(c.failure, c.details);
        EXPECT_EQ(failure.what(), c.text);
        EXPECT_EQ(failure.failure(), c.failure) << c.text;
        if (c.code != kOwn) {
            EXPECT_EQ(failure.ErrorCode(), c.code) << c.text;
            continue;
        }
        EXPECT_EQ(socketErrorMessage(failure.ErrorCode()), "Unknown Error No. " + std::to_string(failure.ErrorCode()))
            << "a table code: " << c.text;
        EXPECT_GE(failure.ErrorCode(), kUntabledErrnoBase + 4096)
            << "the code of an errno (all below 4096) the table lacks";
        own.insert(failure.ErrorCode());
    }
    EXPECT_EQ(own.size(), 17u) << "each of the HTTP client's failures has a code of its own";
    // The connect's failure carries the socket code it ended with.
    const ESockError refused = clientFailureWithCode(ConnectionFailed, socketErrorCode(ECONNREFUSED));
    EXPECT_EQ(refused.what(), std::string("Connection Failed"));
    EXPECT_EQ(refused.ErrorCode(), 10061);
}

}  // namespace
}  // namespace kwirl
