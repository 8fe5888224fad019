// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cerrno>

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

}  // namespace
}  // namespace kwirl
