// SPDX-License-Identifier: MIT
#pragma once
// Reading the lines of an HTTP reply's head: its status line and the values
// of the header lines that the client acts on.

#include <cstdint>
#include <string>
#include <string_view>

namespace kwirl {

// The names of the header lines the client acts on, as the first blank-separated
// field of a line holds them, in lower case (names are compared without regard to case).
inline constexpr std::string_view kSetCookieField = "set-cookie:";
inline constexpr std::string_view kLocationField = "location:";
inline constexpr std::string_view kContentLengthField = "content-length:";

// The value of a header line whose first field is `field`: what follows the
// field and its blank, without the line end.
std::string headerValue(const std::string& line, std::string_view field);

// The status number of a status line: "HTTP/", a version, a blank, three
// digits (100 to 999), then a blank or the line's end. Raises ESockError
// "Reply without a status line" for a line that does not start with "HTTP/",
// "Reply with a malformed status line" for one that does but holds no such number.
int statusOf(const std::string& line);

// The value of a Content-Length line as it is recorded: the first run of
// digits after the name and its blank, 0 when there is none; digits that
// would take it past the largest 64-bit value are not read.
std::int64_t contentLengthOf(const std::string& line);

// The body length a Content-Length line announces: its value when that is
// digits alone (blanks and tabs around them allowed), else -1 (none).
std::int64_t announcedLength(const std::string& line);

}  // namespace kwirl
