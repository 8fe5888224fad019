// SPDX-License-Identifier: MIT
#include "reply_lines.h"

#include <algorithm>
#include <limits>
#include <string_view>
#include <utility>

#include "ascii.h"
#include "sock_errors.h"
#include "url_parts.h"

namespace kwirl {

namespace {
constexpr std::string_view kStatusLineStart = "HTTP/";
constexpr std::size_t kStatusDigits = 3;
// More digits than this is no length this client could receive; taken as none.
constexpr std::size_t kMostLengthDigits = 18;
constexpr auto kMostLength = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());

// The line without the CR and LF at its end.
std::string withoutLineEnd(std::string line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    return line;
}

void takeCookie(const std::string& value, TReplyFields& fields) {
    // A control character would go on into the next request's Cookie line: not kept.
    if (!holdsControlCharacter(value)) fields.cookie = value;
}

void takeLocation(const std::string& value, TReplyFields& fields) { fields.location = value; }

// Content-Length as it is recorded: the first run of digits, whatever comes
// before it; digits that would take it past the largest 64-bit value are not read.
std::int64_t recordedLength(std::string_view value) {
    const auto digit = value.find_first_of("0123456789");
    if (digit == std::string_view::npos) return 0;
    return static_cast<std::int64_t>(decimalPrefix(value.substr(digit), kMostLength).value);
}

// The body length Content-Length announces: digits alone, or -1 (the body runs to the close).
std::int64_t announcedLength(std::string_view value) {
    const auto first = value.find_first_not_of(" \t");
    if (first == std::string_view::npos) return -1;
    const std::string_view digits = value.substr(first, value.find_last_not_of(" \t") - first + 1);
    std::uint64_t length = 0;
    if (digits.size() > kMostLengthDigits || !isDecimal(digits, kMostLength, length)) return -1;
    return static_cast<std::int64_t>(length);
}

void takeContentLength(const std::string& value, TReplyFields& fields) {
    fields.contentLength = recordedLength(value);
    fields.announcedLength = announcedLength(value);
}

// The header lines the client acts on: each name, in lower case, with what
// the client takes from the line's value.
using TFieldRule = void (*)(const std::string& value, TReplyFields& fields);
constexpr std::pair<std::string_view, TFieldRule> kFieldRules[] = {
    {"set-cookie:", takeCookie},
    {"location:", takeLocation},
    {"content-length:", takeContentLength},
};
}  // namespace

int statusOf(const std::string& given) {
    const std::string line = withoutLineEnd(given);
    if (!line.starts_with(kStatusLineStart)) throw clientFailure(Failure::NoStatusLine);
    const auto blank = line.find(' ');
    const bool versioned = blank != std::string::npos && blank > kStatusLineStart.size();
    const DecimalPrefix status = versioned ? decimalPrefix(std::string_view(line).substr(blank + 1)) : DecimalPrefix{};
    const std::size_t end = blank + 1 + kStatusDigits;
    const bool wellFormed = versioned && status.digits == kStatusDigits && line[blank + 1] != '0' &&
                            (line.size() == end || line[end] == ' ');
    if (!wellFormed) throw clientFailure(Failure::MalformedStatusLine);
    return static_cast<int>(status.value);
}

void readReplyField(const std::string& line, TReplyFields& fields) {
    const std::string name = lowerAscii(NthField(line, ' ', 1));
    for (const auto& [field, rule] : kFieldRules) {
        if (name == field) return rule(withoutLineEnd(line.substr(std::min(line.size(), field.size() + 1))), fields);
    }
}

}  // namespace kwirl
