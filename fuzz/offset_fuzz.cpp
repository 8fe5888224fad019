// SPDX-License-Identifier: MIT
// The page offset of any address and the integer conversion: no crash, and
// the conversion agrees with a plain reference on what it accepts.

#include <cstdint>
#include <optional>
#include <string>

#include "offset_parsing.h"

namespace {
// The conversion's rules written out once more, as plainly as possible.
std::optional<std::int64_t> reference(const std::string& text) {
    std::size_t i = text.find_first_not_of(' ');
    if (i == std::string::npos) return std::nullopt;
    int base = 10;
    bool negative = false;
    if (text[i] == '$' || text[i] == 'x' || text[i] == 'X') base = 16, ++i;
    else if (text.compare(i, 2, "0x") == 0 || text.compare(i, 2, "0X") == 0)
        base = 16, i += 2;
    else if (text[i] == '+' || text[i] == '-')
        negative = text[i] == '-', ++i;
    if (i >= text.size()) return std::nullopt;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const std::string digits = base == 16 ? "0123456789abcdefABCDEF" : "0123456789";
        const auto at = digits.find(text[i]);
        if (at == std::string::npos) return std::nullopt;
        value = value * base + static_cast<std::int64_t>(at < 16 ? at : at - 6);
        if (value > (std::int64_t{1} << 32)) return std::nullopt;
    }
    value = negative ? -value : value;
    if (value < -(std::int64_t{1} << 31) || value > (std::int64_t{1} << 31) - 1) return std::nullopt;
    return value;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string offset = kwirl::offsetText(text);
    if (offset.size() > text.size()) __builtin_trap();

    std::optional<std::int64_t> converted;
    try {
        converted = kwirl::strToInt(text);
    } catch (const kwirl::EConvertError&) {
    }
    if (converted != reference(text)) __builtin_trap();
    try {
        const auto page = kwirl::pageIndexOfOffset(offset);
        if (page < -53687092 || page > 53687091) __builtin_trap();
    } catch (const kwirl::EConvertError&) {
    }
    return 0;
}
