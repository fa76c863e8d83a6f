// The map's age colours: the stops, the blend between them, and the ends.

#include "treemap/AgeColour.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace velmaro::treemap;

TEST(AgeColour, StopsBlendsAndEnds)
{
    const double day = AgeColour::kDay;
    EXPECT_EQ(AgeColour::of(0), AgeColour::stopColour(0));
    EXPECT_EQ(AgeColour::of(-1000 * day), AgeColour::stopColour(0));  // from the future: as now
    EXPECT_EQ(AgeColour::of(7 * day), AgeColour::stopColour(1));
    EXPECT_EQ(AgeColour::of(365 * day), AgeColour::stopColour(3));
    EXPECT_EQ(AgeColour::of(50 * 365 * day), AgeColour::stopColour(4));
    EXPECT_EQ(AgeColour::of(std::nan("")), AgeColour::kUnknown);

    // Between a month (pale yellow) and a year (orange): green falls, blue falls.
    const Rgb between = AgeColour::of(100 * day);
    const Rgb month = AgeColour::stopColour(2), year = AgeColour::stopColour(3);
    EXPECT_LT(between.g, month.g);
    EXPECT_GT(between.g, year.g);
    EXPECT_LT(between.b, month.b);
    EXPECT_GT(between.b, year.b);

    // Positions rise with age, logarithmically: a week lies before the middle.
    EXPECT_EQ(AgeColour::position(0.5 * day), 0.0);
    EXPECT_LT(AgeColour::position(7 * day), 0.5);
    EXPECT_LT(AgeColour::position(30 * day), AgeColour::position(31 * day));
    EXPECT_EQ(AgeColour::position(1e12), 1.0);
    for (int i = 1; i < AgeColour::kStops; ++i)
        EXPECT_GT(AgeColour::stopAge(i), AgeColour::stopAge(i - 1));
}
