// SPDX-License-Identifier: MIT
// Reading a reply's head line by line, without a socket: the status line, and
// the header fields the client acts on, each by its rule.

#include "reply_lines.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "failure_of.h"

namespace kwirl {

// The fields as a failed comparison shows them.
void PrintTo(const TReplyFields& fields, std::ostream* out) {
    *out << "{contentLength " << fields.contentLength << ", announcedLength " << fields.announcedLength << ", cookie \""
         << fields.cookie << "\", location \"" << fields.location << "\"}";
}

namespace {

TEST(ReplyLines, EachFieldLineIsReadByItsRule) {
    using Fields = TReplyFields;
    // Each case names the fields its lines set; the others keep their defaults,
    // which the compiler would otherwise ask to be written out.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
    const struct {
        std::vector<std::string> lines;  // of one reply, in order
        Fields fields;
    } cases[] = {
        {{}, {}},
        {{"Content-Length: 42\r\n"}, {.contentLength = 42, .announcedLength = 42}},
        {{"content-LENGTH: \t 7 \t\r\n"},
         {.contentLength = 7, .announcedLength = 7}},            // names without regard to case; blanks
        {{"Content-Length: 12abc\r\n"}, {.contentLength = 12}},  // recorded, but no length announced
        {{"Content-Length: x9\r\n"}, {.contentLength = 9}},      // the first run of digits is recorded
        {{"Content-Length: none\r\n"}, {}},
        {{"Content-Length: 9999999999999999999\r\n"},
         {.contentLength = 999999999999999999}},  // past 64 bits: not read on
        {{"Content-Length:42\r\n"}, {}},          // no blank after the colon: no rule
        {{"X-Content-Length: 42\r\n"}, {}},       // another name
        {{"Location: /next\r\n"}, {.location = "/next"}},
        {{"Location: /a\r\n", "Location: /b\n"}, {.location = "/b"}},  // the last one counts
        {{"Set-Cookie: id=1; Path=/\r\n"}, {.cookie = "id=1; Path=/"}},
        {{"Set-Cookie: id=1\r\n", "Set-Cookie: id=2\x01x\r\n"}, {.cookie = "id=1"}},  // a control character: not kept
        {{"Location: a b c\r\n", "Set-Cookie:\r\n"}, {.location = "a b c"}},
    };
#pragma GCC diagnostic pop
    // Whole values: a field added to the struct is compared without a line more here.
    for (const auto& c : cases) {
        Fields fields;
        for (const std::string& line : c.lines) readReplyField(line, fields);
        EXPECT_EQ(fields, c.fields) << (c.lines.empty() ? "(none)" : c.lines.back());
    }
}

TEST(ReplyLines, AStatusLineGivesItsNumberOrItsFailure) {
    const struct {
        const char* line;
        int status;                      // when it is read
        std::optional<Failure> failure;  // else
    } cases[] = {
        {"HTTP/1.0 200 OK\r\n", 200, {}},
        {"HTTP/1.1 404\r\n", 404, {}},
        {"HTTP/1.0 999 Odd\n", 999, {}},
        {"HTTP/1.0 099 X\r\n", 0, Failure::MalformedStatusLine},
        {"HTTP/1.0 20x OK\r\n", 0, Failure::MalformedStatusLine},
        {"HTTP/1.0 2000 OK\r\n", 0, Failure::MalformedStatusLine},
        {"HTTP/ 200 OK\r\n", 0, Failure::MalformedStatusLine},
        {"http/1.0 200 OK\r\n", 0, Failure::NoStatusLine},
        {"SSH-2.0-OpenSSH_9.2p1\r\n", 0, Failure::NoStatusLine},
    };
    for (const auto& c : cases) {
        int status = 0;
        EXPECT_EQ(test::clientFailureOf([&] { status = statusOf(c.line); }), c.failure) << c.line;
        EXPECT_EQ(status, c.status) << c.line;
    }
}

}  // namespace
}  // namespace kwirl
