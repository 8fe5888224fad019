// SPDX-License-Identifier: MIT
#pragma once
// Reading the lines of an HTTP reply's head: its status line and the values
// of the header lines that the client acts on.

#include <cstdint>
#include <string>

namespace kwirl {

// The status number of a status line: "HTTP/", a version, a blank, three
// digits (100 to 999), then a blank or the line's end. Raises ESockError
// "Reply without a status line" for a line that does not start with "HTTP/",
// "Reply with a malformed status line" for one that does but holds no such number.
int statusOf(const std::string& line);

// The value of a "CONTENT-LENGTH: ..." line in upper case, as it is recorded:
// the first run of digits after the name and its blank, 0 when there is none.
std::int64_t contentLengthOf(const std::string& upperLine);

// The body length a Content-Length line announces: its value when that is
// digits alone (blanks and tabs around them allowed), else -1 (none).
std::int64_t announcedLength(const std::string& line);

}  // namespace kwirl
