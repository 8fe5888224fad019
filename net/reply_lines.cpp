// SPDX-License-Identifier: MIT
#include "reply_lines.h"

#include <algorithm>
#include <limits>

#include "ascii.h"
#include "sock_errors.h"

namespace kwirl {

namespace {
constexpr std::string_view kStatusLineStart = "HTTP/";
constexpr std::size_t kStatusDigits = 3;
// More digits than this is no length this client could receive; taken as none.
constexpr std::size_t kMostLengthDigits = 18;
constexpr auto kMostLength = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The line without the CR and LF at its end.
std::string withoutLineEnd(std::string line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    return line;
}
}  // namespace

std::string headerValue(const std::string& line, std::string_view field) {
    return withoutLineEnd(line.substr(std::min(line.size(), field.size() + 1)));
}

int statusOf(const std::string& given) {
    const std::string line = withoutLineEnd(given);
    if (!line.starts_with(kStatusLineStart)) throw ESockError(kNoTableCode, "Reply without a status line");
    const auto blank = line.find(' ');
    const bool versioned = blank != std::string::npos && blank > kStatusLineStart.size();
    const DecimalPrefix status = versioned ? decimalPrefix(std::string_view(line).substr(blank + 1)) : DecimalPrefix{};
    const std::size_t end = blank + 1 + kStatusDigits;
    const bool wellFormed = versioned && status.digits == kStatusDigits && line[blank + 1] != '0' &&
                            (line.size() == end || line[end] == ' ');
    if (!wellFormed) throw ESockError(kNoTableCode, "Reply with a malformed status line");
    return static_cast<int>(status.value);
}

std::int64_t contentLengthOf(const std::string& line) {
    std::size_t i = kContentLengthField.size() + 1;
    while (i < line.size() && !isDigit(line[i])) ++i;
    if (i >= line.size()) return 0;
    return static_cast<std::int64_t>(decimalPrefix(std::string_view(line).substr(i), kMostLength).value);
}

std::int64_t announcedLength(const std::string& line) {
    const std::string value = headerValue(line, kContentLengthField);
    const auto first = value.find_first_not_of(" \t");
    if (first == std::string::npos) return -1;
    const auto last = value.find_last_not_of(" \t");
    const std::string_view digits = std::string_view(value).substr(first, last - first + 1);
    std::uint64_t length = 0;
    if (digits.size() > kMostLengthDigits || !isDecimal(digits, kMostLength, length)) return -1;
    return static_cast<std::int64_t>(length);
}

}  // namespace kwirl
