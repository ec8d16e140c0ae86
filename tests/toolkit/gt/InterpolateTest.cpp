#include "toolkit/gt/Interpolate.h"

#include <gtest/gtest.h>

TEST(LinearInterpolate, PointsOnTheLineThroughBothEnds)
{
    const struct
    {
        double x0, y0, x1, y1, x, expected;
    } cases[] = {
        {0.0, 0.0, 1.0, 1.0, 0.0, 0.0},    // first end
        {0.0, 0.0, 1.0, 1.0, 1.0, 1.0},    // second end
        {0.0, 10.0, 4.0, 2.0, 1.0, 8.0},   // falling line
        {2.0, 1.0, 4.0, 3.0, 6.0, 5.0},    // beyond the second end: extrapolates
        {4.0, 3.0, 2.0, 1.0, 3.0, 2.0},    // ends given right to left
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "x = " << c.x);
        EXPECT_DOUBLE_EQ(GT::LinearInterpolate(c.x0, c.y0, c.x1, c.y1, c.x), c.expected);
    }
}
