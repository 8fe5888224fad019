// SPDX-License-Identifier: MIT
#include "reply_lines.h"

#include <cctype>

#include "sock_errors.h"

namespace kwirl {

namespace {

bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

std::string withoutLineEnd(std::string line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    return line;
}

}  // namespace

int statusOf(const std::string& given) {
    const std::string line = withoutLineEnd(given);
    if (line.compare(0, 5, "HTTP/") != 0) throw ESockError(kNoTableCode, "Reply without a status line");
    const auto blank = line.find(' ');
    const bool wellFormed = blank != std::string::npos && blank > 5 && line.size() >= blank + 4 &&
                            isDigit(line[blank + 1]) && line[blank + 1] != '0' && isDigit(line[blank + 2]) &&
                            isDigit(line[blank + 3]) && (line.size() == blank + 4 || line[blank + 4] == ' ');
    if (!wellFormed) throw ESockError(kNoTableCode, "Reply with a malformed status line");
    return (line[blank + 1] - '0') * 100 + (line[blank + 2] - '0') * 10 + (line[blank + 3] - '0');
}

std::int64_t contentLengthOf(const std::string& line) {
    std::size_t i = std::string("CONTENT-LENGTH: ").size();
    while (i < line.size() && !isDigit(line[i])) ++i;
    std::int64_t value = 0;
    for (; i < line.size() && isDigit(line[i]); ++i) {
        if (value > (INT64_MAX - 9) / 10) break;  // an absurd length stops growing
        value = value * 10 + (line[i] - '0');
    }
    return value;
}

std::int64_t announcedLength(const std::string& line) {
    const std::string value = withoutLineEnd(line.substr(std::min(line.size(), std::string("Content-Length:").size())));
    const auto first = value.find_first_not_of(" \t");
    if (first == std::string::npos) return -1;
    const auto last = value.find_last_not_of(" \t");
    // More than 18 digits is no length this client could receive; taken as none.
    if (last - first + 1 > 18) return -1;
    std::int64_t length = 0;
    for (std::size_t i = first; i <= last; ++i) {
        if (!isDigit(value[i])) return -1;
        length = length * 10 + (value[i] - '0');
    }
    return length;
}

}  // namespace kwirl
