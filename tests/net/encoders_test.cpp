// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "encoders.h"
#include "ex_string_list.h"
#include "failure_of.h"
#include "url_parts.h"

namespace kwirl {
namespace {

using test::failureCodeOf;

TEST(Encoders, UrlEncodingKeepsOnlyLettersAndDigits) {
    EXPECT_EQ(urlEncode("Az09"), "Az09");
    EXPECT_EQ(urlEncode("a b"), "a+b");
    EXPECT_EQ(urlEncode("a=1&b"), "a%3d1%26b");
    EXPECT_EQ(urlEncode(std::string("\0\xff-_.~", 6)), "%00%ff%2d%5f%2e%7e");
}

TEST(Encoders, Base64MatchesTheStandardVectors) {
    EXPECT_EQ(base64Encode(""), "");
    EXPECT_EQ(base64Encode("f"), "Zg==");
    EXPECT_EQ(base64Encode("fo"), "Zm8=");
    EXPECT_EQ(base64Encode("foo"), "Zm9v");
    EXPECT_EQ(base64Encode("foobar"), "Zm9vYmFy");
    EXPECT_EQ(base64Encode("user:pass"), "dXNlcjpwYXNz");
    EXPECT_EQ(base64Encode(std::string("\xff\xfe\x00", 3)), "//4A");
    EXPECT_EQ(base64Encode(std::string(100, 'x')).find('\n'), std::string::npos);
}

TEST(HeaderList, HeadersAreFoundByNameRegardlessOfCase) {
    TExStringList lines;
    lines.Add("GET / HTTP/1.0");
    lines.Add("host: a");
    EXPECT_EQ(lines.IndexOfHeader("Host"), 1);
    EXPECT_EQ(lines.IndexOfHeader("Cookie"), -1);
    lines.SetHeaderValue("HOST", "b");
    lines.SetHeaderValue("Cookie", "c=1");
    EXPECT_EQ(lines.Text(), "GET / HTTP/1.0\r\nHOST: b\r\nCookie: c=1\r\n");
    lines.SetHeaderValue("cookie", "");
    EXPECT_EQ(lines.Lines.size(), 2u);
}

TEST(UrlParts, AddressesSplitByCountingSlashesAndColons) {
    struct Case {
        const char* url;
        const char* host;
        int port;
        const char* path;
        const char* url_after;
    } cases[] = {
        {"http://h.example/index.php?name=servstop", "h.example", 80, "/index.php?name=servstop",
         "http://h.example/index.php?name=servstop"},
        {"http://h.example:8080", "h.example", 8080, "/", "http://h.example:8080/"},
        {"http://h.example/", "h.example", 80, "/", "http://h.example/"},
        {"/only/a/path", "previous", 80, "/only/a/path", "/only/a/path"},
        {"ftp://files.example/x", "files.example", 21, "/x", "ftp://files.example/x"},
        {"gopher://g.example/", "g.example", 70, "/", "gopher://g.example/"},
        {"h.example/page", "h.example", 80, "/page", "h.example/page"},
        {"page", "page", 80, "/", "page/"},
    };
    for (const auto& c : cases) {
        const UrlParts parts = parseUrlParts(c.url, "previous", 0);
        EXPECT_EQ(parts.host, c.host) << c.url;
        EXPECT_EQ(parts.port, c.port) << c.url;
        EXPECT_EQ(parts.path, c.path) << c.url;
        EXPECT_EQ(parts.url, c.url_after) << c.url;
    }
    EXPECT_EQ(parseUrlParts("http://h/" + std::string(1000, 'p'), "", 0).path.size(), 1001u);
    EXPECT_EQ(failureCodeOf([] { parseUrlParts("http://h:x/", "", 0); }), codeOf(Failure::BadPort));
    EXPECT_EQ(failureCodeOf([] { parseUrlParts("http://h:99999999999/", "", 0); }), codeOf(Failure::BadPort));
}

TEST(UrlParts, OnlyAnAddressThatNamesAServerOrSchemeChangesThePortAndThePathIsKeptAsGiven) {
    struct Case {
        const char* url;
        const char* host;
        int port;
        const char* path;
    } cases[] = {
        {"/list?t=12:30", "previous", 8080, "/list?t=12:30"}, {"/a//b", "previous", 8080, "/a//b"},
        {"h.example/a//b", "h.example", 8080, "/a//b"},       {"http://h.example/a//b:c", "h.example", 80, "/a//b:c"},
        {"/a b\tc", "previous", 8080, "/a%20b%09c"},
    };
    for (const auto& c : cases) {
        const UrlParts parts = parseUrlParts(c.url, "previous", 8080);
        EXPECT_EQ(parts.host, c.host) << c.url;
        EXPECT_EQ(parts.port, c.port) << c.url;
        EXPECT_EQ(parts.path, c.path) << c.url;
    }
    for (const std::string url : {"/a\rb", "/a\nb", "http://h/\x7f"}) {
        EXPECT_EQ(failureCodeOf([&] { parseUrlParts(url, "previous", 8080); }), codeOf(Failure::BadAddress));
    }
    EXPECT_EQ(failureCodeOf([&] { parseUrlParts(std::string("/a\0b", 4), "previous", 8080); }),
              codeOf(Failure::BadAddress));
}

TEST(UrlParts, FieldHelpers) {
    EXPECT_EQ(NthField("a/b//c", '/', 3), "");
    EXPECT_EQ(NthField("a/b//c", '/', 4), "c");
    EXPECT_EQ(NthField("a", '/', 2), "");
    EXPECT_EQ(NthPos("a/b/c", '/', 2), 4u);
    EXPECT_EQ(NthPos("a/b/c", '/', 3), 6u);
}

}  // namespace
}  // namespace kwirl
