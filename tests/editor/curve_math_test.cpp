#include "editor/curve_math.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace zentrik {
namespace {

Curve Flat(std::uint8_t value) {
    Curve c;
    c.fill(value);
    return c;
}

// A drag as the graph performs it: the anchor takes its new value, the rest follow.
Curve DragFlat(int anchor, std::uint8_t to) {
    Curve c = Flat(50);
    c[static_cast<std::size_t>(anchor)] = to;
    SmoothAround(c, anchor);
    return c;
}

TEST(CurveDragSmoothing, FollowsADraggedPointWithWeightsFallingByFour) {
    const Curve middle = DragFlat(10, 100);
    const Curve expected = {50,  50, 50, 50, 50, 50, 50, 50, 55, 74,
                            100, 74, 55, 50, 50, 50, 50, 50, 50, 50};
    EXPECT_EQ(middle, expected);

    // Next to the ends: point 0 weighs its neighbour by 4^-(A-1), point 19 by 4^-(19-A).
    EXPECT_EQ(DragFlat(1, 100)[0], 75);
    const Curve nearEnd = DragFlat(18, 100);
    EXPECT_EQ(nearEnd[19], 60);
    EXPECT_EQ(nearEnd[17], 74);
    EXPECT_EQ(nearEnd[16], 55);
}

TEST(CurveDragSmoothing, AnEndAnchorMovesOnlyTheOtherSide) {
    Curve c = Flat(50);
    c[0] = 0;
    SmoothAround(c, 0);
    EXPECT_EQ(c[0], 0);
    EXPECT_LT(c[1], 50);
    c = Flat(50);
    c[19] = 100;
    SmoothAround(c, 19);
    EXPECT_EQ(c[19], 100);
    EXPECT_GT(c[18], 50);
}

TEST(CurveSmoothPoints, AveragesInPlaceWithTheSmoothedLeftNeighbour) {
    Curve c{};
    c[2] = 90;
    c[19] = 100;
    SmoothPoints(c);
    const Curve expected = {0, 30, 40, 13, 4, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 33, 100};
    EXPECT_EQ(c, expected);

    for (int v : {0, 1, 50, 99, 100, 255}) {
        Curve flat = Flat(static_cast<std::uint8_t>(v));
        SmoothPoints(flat);
        EXPECT_EQ(flat, Flat(static_cast<std::uint8_t>(v))) << v;
    }
}

TEST(CurveSmoothPoints, TheSingleFloatThirdIsAnExactIntegerDivisionForEverySum) {
    // Any sum of three bytes, put in the middle of a curve, as the quotient by 3.
    for (int sum = 0; sum <= 765; ++sum) {
        const int first = std::min(sum, 255);
        const int second = std::min(sum - first, 255);
        Curve c{};
        c[0] = static_cast<std::uint8_t>(first);
        c[1] = static_cast<std::uint8_t>(second);
        c[2] = static_cast<std::uint8_t>(sum - first - second);
        SmoothPoints(c);
        ASSERT_EQ(c[1], sum / 3) << sum;
    }
}

TEST(CurveStraightLine, RisingAndFallingLines) {
    Curve up{};
    up[19] = 100;
    ResetToStraightLine(up);
    const Curve expectedUp = {0,  5,  11, 16, 21, 26, 32, 37, 42, 47,
                              53, 58, 63, 68, 74, 79, 84, 89, 95, 100};
    EXPECT_EQ(up, expectedUp);

    Curve down{};
    down[0] = 100;
    ResetToStraightLine(down);
    for (std::size_t i = 0; i < 20; ++i) {
        EXPECT_EQ(down[i], expectedUp[19 - i]) << i;
    }
}

TEST(CurveStraightLine, NearestIntegerForEveryPairOfEndBytes) {
    for (int first = 0; first <= 255; ++first) {
        for (int last = 0; last <= 255; ++last) {
            Curve c{};
            c[0] = static_cast<std::uint8_t>(first);
            c[19] = static_cast<std::uint8_t>(last);
            ResetToStraightLine(c);
            ASSERT_EQ(c[0], first);
            ASSERT_EQ(c[19], last);
            for (int i = 1; i < 19; ++i) {
                // Exact nearest integer of (last - first) * i / 19; halves cannot occur.
                const int num = (last - first) * i;
                const int q = num / 19;
                const int r = num % 19;
                const int nearest = q + (2 * std::abs(r) > 19 ? (num < 0 ? -1 : 1) : 0);
                ASSERT_EQ(c[static_cast<std::size_t>(i)], first + nearest)
                    << first << " " << last << " " << i;
            }
        }
    }
}

}  // namespace
}  // namespace zentrik
