// SPDX-License-Identifier: MIT
#pragma once
// Reading the lines of an HTTP reply's head: its status line, and the header
// lines the client acts on, each name with its rule in one table.

#include <cstdint>
#include <string>

namespace kwirl {

// The status number of a status line: "HTTP/", a version, a blank, three
// digits (100 to 999), then a blank or the line's end. Raises ESockError
// Failure::NoStatusLine for a line that does not start with "HTTP/", and
// Failure::MalformedStatusLine for one that does but holds no such number.
int statusOf(const std::string& line);

// What the header lines of one reply tell the client.
struct TReplyFields {
    // Content-Length as it is recorded: the first run of digits after the
    // name and its blank, 0 when there is none.
    std::int64_t contentLength = 0;
    // The body's length by Content-Length when its value is digits alone
    // (blanks and tabs around them allowed); -1: none.
    std::int64_t announcedLength = -1;
    std::string cookie;    // the last Set-Cookie value without a control character
    std::string location;  // the last Location value

    bool operator==(const TReplyFields&) const = default;
};

// Takes what one header line tells into `fields`, by the rule for the line's
// name: its first blank-separated field, colon included, without regard to
// case (so a name without a blank after its colon has no rule). A value is
// what follows the name and its blank, without the line end. A line whose
// name has no rule changes nothing.
void readReplyField(const std::string& line, TReplyFields& fields);

}  // namespace kwirl
