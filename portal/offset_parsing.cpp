// SPDX-License-Identifier: MIT
#include "offset_parsing.h"

#include <limits>

#include "address_vocabulary.h"

namespace kwirl {

std::string offsetText(const std::string& address) {
    // "&n=" cannot overlap itself, so what follows its last occurrence is what
    // repeatedly cutting after the first occurrence leaves.
    const std::string token(vocab::kOffsetToken);
    const auto last = address.rfind(token);
    std::string text = last == std::string::npos ? address : address.substr(last + token.size());
    const auto separator = text.find(vocab::kSeparator);
    if (separator != std::string::npos) return text.substr(0, separator);
    const auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    std::size_t begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

namespace {
int digitValue(char c, int base) {
    int value = -1;
    if (c >= '0' && c <= '9') value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value < base ? value : -1;
}
[[noreturn]] void notAnInteger(const std::string& text) {
    throw EConvertError("'" + text + "' is not a valid integer value");
}
}  // namespace

std::int32_t strToInt(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16, ++i;
    } else if (i < text.size() && (text[i] == 'x' || text[i] == 'X')) {
        base = 16, ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16, i += 2;
    } else if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-', ++i;
    }
    if (i == text.size()) notAnInteger(text);
    const std::int64_t limit = negative ? std::int64_t{1} << 31 : (std::int64_t{1} << 31) - 1;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const int digit = digitValue(text[i], base);
        if (digit < 0) notAnInteger(text);
        value = value * base + digit;
        if (value > limit) notAnInteger(text);
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

std::int32_t pageIndexOfOffset(const std::string& offset) {
    if (offset.empty()) return 0;
    return strToInt(offset) / vocab::kEntriesPerPage;
}

}  // namespace kwirl
