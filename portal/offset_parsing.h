// SPDX-License-Identifier: MIT
#pragma once
// Reading the page offset of a list address and turning it into a page.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace kwirl {

// Raised when a text is not a 32-bit integer.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The text after the last "&n=" of the address (the whole address when it holds
// none), cut before its first "&" when it holds one, else trimmed of characters
// 0 to 32 at both ends.
std::string offsetText(const std::string& address);

// The standard integer conversion: leading blanks (code 32 only), then an
// optional sign and decimal digits, or hexadecimal digits after "$", "x" or
// "0x". Anything else, trailing blanks included, or a value outside the 32-bit
// signed range raises EConvertError.
std::int32_t strToInt(const std::string& text);

// The page of an offset text: 0 when empty, else its value divided by 40,
// truncating toward zero. Raises EConvertError when the text is no integer.
std::int32_t pageIndexOfOffset(const std::string& offset);

}  // namespace kwirl
