// The overlap rule: sizes and starts for offsets of every sign, and offsets far outside.
#include "stereo/overlap.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(Overlap, SizesAndStartsFollowTheSignsOfTheOffset) {
    struct Case {
        int offsetX, offsetY;
        Overlap expected;
    };
    const Case cases[] = {
        {0, 0, {100, 50, 0, 0, 0, 0}},
        {5, -3, {95, 47, 5, 0, 0, 3}},
        {-7, 4, {93, 46, 0, 4, 7, 0}},
        {99, 0, {1, 50, 99, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const Overlap o = ComputeOverlap(100, 50, c.offsetX, c.offsetY);
        SCOPED_TRACE(testing::Message() << "offset " << c.offsetX << "," << c.offsetY);
        EXPECT_EQ(o.cols, c.expected.cols);
        EXPECT_EQ(o.rows, c.expected.rows);
        EXPECT_EQ(o.ax, c.expected.ax);
        EXPECT_EQ(o.ay, c.expected.ay);
        EXPECT_EQ(o.bx, c.expected.bx);
        EXPECT_EQ(o.by, c.expected.by);
        EXPECT_FALSE(IsEmptyOverlap(o));
    }
}

TEST(Overlap, OffsetsAtOrBeyondTheViewsLeaveNothing) {
    EXPECT_TRUE(IsEmptyOverlap(ComputeOverlap(100, 50, 100, 0)));
    EXPECT_TRUE(IsEmptyOverlap(ComputeOverlap(100, 50, 0, -50)));
    EXPECT_TRUE(IsEmptyOverlap(ComputeOverlap(100, 50, -130, 2)));
    EXPECT_EQ(ComputeOverlap(100, 50, -130, 2).cols, -30);
    // |INT_MIN| does not fit an int: the size must still come out negative, not wrap.
    const Overlap extreme = ComputeOverlap(100, 50, INT_MIN, INT_MAX);
    EXPECT_TRUE(IsEmptyOverlap(extreme));
    EXPECT_LT(extreme.cols, 0);
    EXPECT_LT(extreme.rows, 0);
    EXPECT_TRUE(IsEmptyOverlap(ComputeOverlap(0, 50, 0, 0)));
}

} // namespace
