// SPDX-License-Identifier: MIT
#include "ascii.h"

namespace kwirl {

std::string lowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

DecimalPrefix decimalPrefix(std::string_view text, std::uint64_t most) {
    DecimalPrefix number;
    for (const char c : text) {
        if (c < '0' || c > '9') break;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (digit > most || number.value > (most - digit) / 10) break;
        number.value = number.value * 10 + digit;
        ++number.digits;
    }
    return number;
}

bool isDecimal(std::string_view text, std::uint64_t most, std::uint64_t& value) {
    const DecimalPrefix number = decimalPrefix(text, most);
    if (text.empty() || number.digits != text.size()) return false;
    value = number.value;
    return true;
}

}  // namespace kwirl
