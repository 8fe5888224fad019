// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <limits>

#include "libraries.h"

namespace kwirl {
namespace {

TEST(StepPage, BackwardStepsStopAtTheFirstPage) {
    EXPECT_EQ(stepPage(PageStep::BackOne, 0), 0);
    EXPECT_EQ(stepPage(PageStep::BackTen, 0), 0);
    EXPECT_EQ(stepPage(PageStep::BackTen, 5), 0);  // "<<" from page 6 lands on the first page
    EXPECT_EQ(stepPage(PageStep::BackTen, 12), 2);
    EXPECT_EQ(stepPage(PageStep::BackOne, 3), 2);
    EXPECT_EQ(stepPage(PageStep::BackOne, -3), 0);  // a negative page found in an address is raised to 0
    EXPECT_EQ(stepPage(PageStep::First, 9), 0);
    EXPECT_EQ(stepPage(PageStep::Same, -2), -2);
}

TEST(StepPage, ForwardStepsHaveNoUpperBoundButNeverOverflow) {
    EXPECT_EQ(stepPage(PageStep::ForwardOne, 0), 1);
    EXPECT_EQ(stepPage(PageStep::ForwardTen, 53687091), 53687101);
    constexpr auto most = std::numeric_limits<std::int32_t>::max();
    EXPECT_EQ(stepPage(PageStep::ForwardTen, most - 3), most);
    EXPECT_EQ(stepPage(PageStep::ForwardOne, most), most);
}

}  // namespace
}  // namespace kwirl
