// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "progress_range.h"

namespace kwirl {
namespace {

TEST(ProgressRange, StartsAtZeroToHundred) {
    ProgressRange bar;
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Max(), 100);
    EXPECT_EQ(bar.Position(), 0);
}

TEST(ProgressRange, PositionsOutsideTheRangeShowAsTheNearestEnd) {
    ProgressRange bar;
    bar.SetMax(1000);
    bar.SetPosition(500);
    EXPECT_EQ(bar.filled(100), 50);
    bar.SetPosition(2000);
    EXPECT_EQ(bar.Position(), 2000);  // kept as given
    EXPECT_EQ(bar.filled(100), 100);
    bar.SetPosition(-10);
    EXPECT_EQ(bar.filled(100), 0);
    bar.SetMax(0);  // range 0 to 0
    bar.SetPosition(0);
    EXPECT_EQ(bar.filled(100), 0);
}

TEST(ProgressRange, MaximumBelowMinimumIsRefusedAndChangesNothing) {
    ProgressRange bar;
    bar.SetPosition(8);
    EXPECT_THROW(bar.SetMax(-1), EInvalidRange);
    EXPECT_EQ(bar.Max(), 100);
    EXPECT_EQ(bar.Position(), 8);
    EXPECT_THROW(bar.SetMin(101), EInvalidRange);
    EXPECT_EQ(bar.Min(), 0);
}

TEST(ProgressRange, ExtremeRangesDoNotOverflow) {
    ProgressRange bar;
    bar.SetMin(-2147483647 - 1);
    bar.SetMax(2147483647);
    bar.SetPosition(0);
    EXPECT_EQ(bar.filled(1000), 500);
}

}  // namespace
}  // namespace kwirl
