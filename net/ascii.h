// SPDX-License-Identifier: MIT
#pragma once
// ASCII text as the HTTP client reads it: the case of letters, which header
// names and schemes ignore, and decimal numbers. Bytes outside ASCII are
// left as they are, whatever the locale.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace kwirl {

// `text` with A-Z written a-z.
std::string lowerAscii(std::string_view text);

// The decimal digits at the start of a text, read as a number.
struct DecimalPrefix {
    std::size_t digits = 0;   // how many were taken: 0 when the text starts with none
    std::uint64_t value = 0;  // their value
};
// Takes the digits at the start of `text`; a digit that would take the value
// past `most` is not taken, nor any after it.
DecimalPrefix decimalPrefix(std::string_view text, std::uint64_t most = std::numeric_limits<std::uint64_t>::max());

// Whether `text` is decimal digits and nothing else, of a value up to `most`;
// the value goes to `value`.
bool isDecimal(std::string_view text, std::uint64_t most, std::uint64_t& value);

}  // namespace kwirl
