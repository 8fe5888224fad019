// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <optional>

#include "offset_parsing.h"

namespace kwirl {
namespace {

TEST(OffsetText, TakesTheTextAfterTheLastOffsetUpToTheNextSeparator) {
    struct Case {
        const char* address;
        const char* offset;
    } cases[] = {
        {"x?name=puzzle1&op=pz6m&n=80", "80"},
        {"x&n=0&n=40&n=80", "80"},
        {"x&n=80&x=1", "80"},
        {"x&n=", ""},
        {"x&n=&", ""},
        {"x&n=&n=", ""},
        {"x&n= 80 ", "80"},    // trimmed when no "&" follows
        {"x&n=80 &y", "80 "},  // not trimmed when one does
        {"x&n=\t80\r\n", "80"},
        {"x&n=80#top", "80#top"},
        {"x?name=puzzle1&op=pz6m", "x?name=puzzle1"},  // no "&n=": the whole address, cut at its first "&"
        {" abc ", "abc"},
    };
    for (const auto& c : cases) EXPECT_EQ(offsetText(c.address), c.offset) << c.address;
}

std::optional<std::int32_t> converted(const std::string& text) {
    try {
        return strToInt(text);
    } catch (const EConvertError&) {
        return std::nullopt;
    }
}

TEST(StrToInt, AcceptsDecimalAndHexadecimalForms) {
    struct Case {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"0", 0},
        {"80", 80},
        {"+80", 80},
        {"-41", -41},
        {"  7", 7},
        {"007", 7},
        {"$10", 16},
        {"x1f", 31},
        {"X1F", 31},
        {"0x10", 16},
        {"0X7fffffff", 2147483647},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"-0", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(converted(c.text), std::optional<std::int32_t>(c.value)) << c.text;
}

TEST(StrToInt, RefusesEverythingElse) {
    const char* cases[] = {"",          " ",           "80 ",        "8 0",         "\t80",
                           "80#top",    "-",           "+",          "$",           "0x",
                           "x",         "- 1",         "2147483648", "-2147483649", "99999999999999999999",
                           "$80000000", "0x100000000", "1e3",        "0x1g",        "-$10",
                           "--1",       "８0"};
    for (const char* text : cases) EXPECT_EQ(converted(text), std::nullopt) << '"' << text << '"';
}

TEST(StrToInt, FailureCarriesTheText) {
    try {
        strToInt("80#top");
        FAIL() << "no exception";
    } catch (const EConvertError& error) {
        EXPECT_STREQ(error.what(), "'80#top' is not a valid integer value");
    }
}

TEST(PageIndexOfOffset, DividesByFortyTowardZero) {
    EXPECT_EQ(pageIndexOfOffset(""), 0);
    EXPECT_EQ(pageIndexOfOffset("80"), 2);
    EXPECT_EQ(pageIndexOfOffset("79"), 1);
    EXPECT_EQ(pageIndexOfOffset("-1"), 0);
    EXPECT_EQ(pageIndexOfOffset("-39"), 0);
    EXPECT_EQ(pageIndexOfOffset("-41"), -1);
    EXPECT_EQ(pageIndexOfOffset("2147483647"), 53687091);
    EXPECT_THROW(pageIndexOfOffset("abc"), EConvertError);
}

}  // namespace
}  // namespace kwirl
