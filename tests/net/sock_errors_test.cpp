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

// The one place the client's own texts are checked: each failure has a code of
// its own, above every socket code, and says what it says word for word.
TEST(SocketErrors, EachFailureOfTheClientsOwnHasItsCodeAndItsText) {
    struct Case {
        int code;
        std::vector<std::string> details;
        std::string text;
    } cases[] = {
        {kEmptyUrl, {}, "Empty URL"},
        {kSecureNotSupported, {}, "HTTP Secure Socket is not supported"},
        {kBadAddress, {}, "Address holds a control character"},
        {kBadPort, {"eighty"}, "'eighty' is not a valid integer value"},
        {kRequestLineTooLong, {"65536"}, "Request line longer than 65536 bytes"},
        {kNoReply, {}, "No reply: the connection closed before a status line"},
        {kNoStatusLine, {}, "Reply without a status line"},
        {kMalformedStatusLine, {}, "Reply with a malformed status line"},
        {kHeaderTooLong, {"1048576"}, "Reply header longer than 1048576 bytes"},
        {kHeaderCutShort, {}, "Reply header ended before its blank line"},
        {kBodyTooLong, {"268435456"}, "Reply body longer than 268435456 bytes"},
        {kBodyShort, {"5", "50"}, "Reply body ended after 5 of 50 bytes"},
        {kTooManyRedirects, {"20"}, "Too many redirects: more than 20 followed"},
        {kRedirectRefused, {"the Location is no valid address"}, "Redirect refused: the Location is no valid address"},
        {kCannotOpenFile,
         {"a{}b", "No such file or directory"},
         "Cannot open file \"a{}b\": No such file or directory"},
        {kCannotCreateFile, {"f", "Permission denied"}, "Cannot create file \"f\": Permission denied"},
        {kCannotWriteFile,
         {"/dev/full", "No space left on device"},
         "Cannot write file \"/dev/full\": No space left on device"},
    };
    std::set<int> codes;
    for (const auto& c : cases) {
        const ESockError failure = clientFailure(c.code, c.details);
        EXPECT_EQ(failure.ErrorCode(), c.code) << c.text;
        EXPECT_EQ(failure.what(), c.text);
        EXPECT_EQ(socketErrorMessage(c.code), "Unknown Error No. " + std::to_string(c.code)) << "a table code";
        EXPECT_GE(c.code, kUntabledErrnoBase + 4096) << "the code of an errno (all below 4096) the table lacks";
        codes.insert(c.code);
    }
    EXPECT_EQ(codes.size(), std::size(cases));
    EXPECT_EQ(clientFailureMessage(kTimedOut), "10060:Connection timed out");  // not one of them: the socket table's
}

}  // namespace
}  // namespace kwirl
