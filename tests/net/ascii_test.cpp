// SPDX-License-Identifier: MIT
// The client's one case helper and one reader of decimal numbers.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "ascii.h"

namespace kwirl {
namespace {

TEST(Ascii, OnlyAsciiLettersChangeCase) {
    EXPECT_EQ(lowerAscii("Content-LENGTH: 12"), "content-length: 12");
    EXPECT_EQ(lowerAscii("AZaz09"), "azaz09");
    EXPECT_EQ(lowerAscii("@[`{"), "@[`{");                    // the neighbours of A-Z and a-z
    EXPECT_EQ(lowerAscii("\xC3\x89T\xC9"), "\xC3\x89t\xC9");  // bytes past ASCII stay as they are
    EXPECT_EQ(lowerAscii(""), "");
}

TEST(Ascii, DecimalDigitsAreReadUpToTheFirstOtherCharacterOrTheBound) {
    constexpr auto noBound = std::numeric_limits<std::uint64_t>::max();
    const struct {
        const char* text;
        std::uint64_t most;
        DecimalPrefix read;  // digits taken, value
    } cases[] = {
        {"", noBound, {0, 0}},
        {"abc", noBound, {0, 0}},
        {" 12", noBound, {0, 0}},
        {"-12", noBound, {0, 0}},
        {"007", noBound, {3, 7}},
        {"200 OK", noBound, {3, 200}},
        {"12x34", noBound, {2, 12}},
        {"65535", 65535, {5, 65535}},
        {"65536", 65535, {4, 6553}},  // the digit that would pass the bound is left
        {"2147483648", 2147483647, {9, 214748364}},
        {"18446744073709551615", noBound, {20, noBound}},
        {"18446744073709551616", noBound, {19, 1844674407370955161}},
        {"9", 5, {0, 0}},  // a bound below one digit
    };
    for (const auto& c : cases) {
        const DecimalPrefix number = decimalPrefix(c.text, c.most);
        EXPECT_EQ(number.digits, c.read.digits) << c.text;
        EXPECT_EQ(number.value, c.read.value) << c.text;
    }
}

TEST(Ascii, ADecimalIsDigitsAloneWithinItsBound) {
    const struct {
        const char* text;
        bool decimal;
        std::uint64_t value;
    } cases[] = {
        {"0", true, 0},   {"65535", true, 65535}, {"0065535", true, 65535}, {"65536", false, 0}, {"", false, 0},
        {"+1", false, 0}, {"-0", false, 0},       {"1 ", false, 0},         {"0x10", false, 0},
    };
    for (const auto& c : cases) {
        std::uint64_t value = 0;
        EXPECT_EQ(isDecimal(c.text, 65535, value), c.decimal) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

}  // namespace
}  // namespace kwirl
