// SPDX-License-Identifier: MIT
// The URL encoder and the Base64 encoder, each against a decoder written here:
// every input comes back whole, and the outputs use only their alphabets.

#include <cstdint>
#include <string>

#include "encoders.h"

namespace {
std::string urlDecode(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') out += ' ';
        else if (text[i] == '%' && i + 2 < text.size() + 0)
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16)), i += 2;
        else
            out += text[i];
    }
    return out;
}

std::string base64Decode(const std::string& text) {
    static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    std::uint32_t group = 0;
    int bits = 0;
    for (const char c : text) {
        if (c == '=') break;
        const auto value = alphabet.find(c);
        if (value == std::string::npos) __builtin_trap();
        group = group << 6 | static_cast<std::uint32_t>(value);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((group >> bits) & 0xff);
        }
    }
    return out;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    const std::string encoded = kwirl::urlEncode(bytes);
    for (const char c : encoded) {
        const bool allowed =
            (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '%' || c == '+';
        if (!allowed) __builtin_trap();
    }
    if (urlDecode(encoded) != bytes) __builtin_trap();

    const std::string base64 = kwirl::base64Encode(bytes);
    if (base64.size() != (size + 2) / 3 * 4) __builtin_trap();
    if (base64Decode(base64) != bytes) __builtin_trap();
    return 0;
}
