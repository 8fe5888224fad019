// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "text_ops.h"

namespace kwirl {
namespace {

TEST(TextOps, PositionIsOneBasedCaseSensitiveAndZeroWhenAbsent) {
    EXPECT_EQ(positionOf("&n=", "a&n=40"), 2);
    EXPECT_EQ(positionOf("a", "a"), 1);
    EXPECT_EQ(positionOf("=Puzzle", "?name=puzzle1"), 0);
    EXPECT_EQ(positionOf("x", ""), 0);
    EXPECT_EQ(positionOf("", "abc"), 0);
    EXPECT_EQ(positionOf("&n=", "&n=0&n=40"), 1);  // the first occurrence
}

TEST(TextOps, SubstringFollowsStartAndCountRules) {
    struct Case {
        const char* text;
        std::int64_t start, count;
        const char* expected;
    } cases[] = {
        {"abcdef", 2, 3, "bcd"}, {"abcdef", 1, 100, "abcdef"},  // clipped at the end
        {"abcdef", 0, 2, "ab"},                                 // a start below 1 counts as 1
        {"abcdef", -5, 2, "ab"}, {"abcdef", 6, 1, "f"},
        {"abcdef", 7, 1, ""},  // text shorter than the start
        {"abcdef", 2, 0, ""},  // count below 1
        {"abcdef", 2, -1, ""},   {"", 0, 5, ""},
        {"", 1, 5, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(substring(c.text, c.start, c.count), c.expected)
            << "substring(\"" << c.text << "\", " << c.start << ", " << c.count << ")";
    }
}

}  // namespace
}  // namespace kwirl
