// The chart's arithmetic: the list's rows, the plotted ticks, the scaling
// and the positions, worked through by hand.
#include <cfloat>
#include <climits>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "ui/chart_geometry.h"

namespace {

TEST(ChartGeometry, SymbolsAreListedAboutTheSelectedOneAtASixteenPixelPitch)
{
    const struct {
        int height, i, selected, top;
    } cases[] = {
        {453, 0, 0, 227},     // the selected symbol: height / 2 + 1
        {453, 5, 5, 227},
        {200, 2, 2, 101},
        {201, 2, 2, 101},     // height / 2 is integer division
        {200, 1, 2, 85},      // the one above, 16 pixels up
        {200, 3, 2, 117},     // the one below
        {200, 0, 2, 69},
        {200, 999, 0, 16085}, // far below the client area, still placed
        {0, 0, 1, -15},       // an empty client area
    };
    for (const auto& c : cases)
        EXPECT_EQ(SymbolTop(c.height, c.i, c.selected), c.top)
            << "height " << c.height << " symbol " << c.i << " selected " << c.selected;
}

TEST(ChartGeometry, TheNewestTicksArePlottedUpToTheSetting)
{
    const struct {
        int fileSize, tickNumber, plotted;
    } cases[] = {
        {3, 1000, 3},   // fewer ticks than the setting: all of them
        {300, 100, 100}, // the newest 100, from index 200
        {300, 2, 2},
        {5, 5, 5},
        {5, 1, 1},
        {5, 0, 0},
        {5, -1, 0},
        {5, INT_MIN, 0},
        {100000, INT_MAX, 100000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PlottedTicks(c.fileSize, c.tickNumber), c.plotted)
            << c.fileSize << " ticks, setting " << c.tickNumber;
}

TEST(ChartGeometry, NormalisedSeriesRunFromZeroToOneInSinglePrecision)
{
    const float inf = INFINITY;
    const struct {
        std::vector<float> values, scaled;
    } cases[] = {
        {{1, 3, 2}, {0, 1, 0.5f}},
        {{-2, 2, 0}, {0, 1, 0.5f}},
        {{23.45f, 23.5f, 23.55f}, {0, 0.5f, 1}},
        {{0.1f, 0.2f, 0.3f}, {0, 0.49999997f, 1}},
        {{23.45f, 23.46f, 23.5f}, {0, 0.19996949f, 1}},
        {{5, 5, 5}, {0.5f, 0.5f, 0.5f}},  // a range of zero: mid-height
        {{7}, {0.5f}},                    // a single tick
        {{1, inf, 2}, {0, 0.5f, 0}},      // beyond the float range: no place on the scale
        {{-inf, 1, 2}, {0.5f, 0.5f, 0.5f}},
    };
    for (const auto& c : cases) {
        std::vector<float> values = c.values;
        NormaliseSeries(values.data(), static_cast<int>(values.size()));
        EXPECT_EQ(values, c.scaled) << "first value " << c.values[0];
    }
    float untouched = 42;
    NormaliseSeries(&untouched, 0);
    EXPECT_EQ(untouched, 42);
}

struct TickCase {
    int width, count;
    std::vector<int> x;  // every tick's x, in order
};

void ExpectTicks(const TickCase& c)
{
    const TickLayout layout = LayOutTicks(c.width, c.count);
    std::vector<int> x;
    for (int i = 0; i < c.count; ++i) x.push_back(TickX(layout, i));
    EXPECT_EQ(x, c.x) << c.count << " ticks at width " << c.width;
}

TEST(ChartGeometry, TicksAreSpreadFromTheSymbolPanelToTheRightEdge)
{
    const TickCase cases[] = {
        {640, 3, {100, 370, 640}},           // s = 270
        {641, 3, {100, 370, 641}},           // s = 270.5, truncated
        {640, 2, {100, 640}},                // two ticks: the ends of the panel
        {108, 3, {100, 104, 108}},           // s = 4
        {105, 3, {100, 102, 105}},           // s = 2.5
        {100, 3, {100, 100, 100}},           // s = 0: all at x = 100
        {90, 3, {100, 95, 90}},              // s < 0: leftwards over the symbol panel
        {91, 3, {100, 95, 91}},              // s = -4.5: truncated toward zero
        {110, 21, {100, 100, 101, 101, 102, 102, 103, 103, 104, 104, 105,
                   105, 106, 106, 107, 107, 108, 108, 109, 109, 110}},  // s = 0.5
        {640, 1, {370}},                     // one tick: the middle of the panel
        {641, 1, {370}},
        {100, 1, {100}},
    };
    for (const auto& c : cases) ExpectTicks(c);
}

TEST(ChartGeometry, OneHundredOfThreeHundredTicksFillTheWidth)
{
    // s = 540 / 99; tick 33 would be at 280 exactly, tick 99 at 640.
    const TickLayout layout = LayOutTicks(640, 100);
    EXPECT_EQ(TickX(layout, 0), 100);
    EXPECT_EQ(TickX(layout, 1), 105);
    EXPECT_EQ(TickX(layout, 33), 280);
    EXPECT_EQ(TickX(layout, 98), 634);
    EXPECT_EQ(TickX(layout, 99), 640);
}

TEST(ChartGeometry, PositionsAreTruncatedFromExtendedPrecision)
{
#if LDBL_MANT_DIG != 64
    GTEST_SKIP() << "long double has no 64-bit significand here";
#endif
    // Worked with a 64-bit significand, rounding to nearest at every step.
    // In double precision the first two come out one pixel right, the last
    // two one pixel left; exact arithmetic would give 409, 429, 442, 430.
    const struct {
        int width, count, i, x;
    } cases[] = {
        {409, 300, 299, 408},
        {429, 300, 299, 428},
        {442, 300, 299, 442},
        {445, 300, 286, 430},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TickX(LayOutTicks(c.width, c.count), c.i), c.x)
            << "tick " << c.i << " of " << c.count << " at width " << c.width;
}

TEST(ChartGeometry, TheCursorIsOverATickStrictlyWithinHalfAStep)
{
    const struct {
        int width, count, mouseX;
        std::vector<int> over;  // the ticks whose interval holds the cursor
    } cases[] = {
        {108, 3, 101, {0}},      // s = 4
        {108, 3, 102, {}},       // halfway between two ticks: neither
        {108, 3, 103, {1}},
        {108, 3, 106, {}},
        {108, 3, 109, {2}},
        {108, 3, 110, {}},       // right of the last tick's interval
        {108, 3, 98, {}},
        {105, 3, 101, {0, 1}},   // s = 2.5: the intervals overlap
        {105, 3, 103, {1}},
        {105, 3, 104, {2}},
        {100, 3, 100, {}},       // s = 0: never
        {90, 3, 95, {}},         // s < 0: never
        {110, 21, 105, {10, 11}},  // s = 0.5: the ticks that share the cursor's x
        {110, 21, 100, {0, 1}},
        {640, 2, 369, {0}},      // s = 540
        {640, 2, 370, {}},       // where the two intervals meet: neither
        {640, 2, 371, {1}},
        {640, 1, 101, {0}},      // one tick owns the whole plot panel
        {640, 1, 639, {0}},
        {640, 1, 100, {}},
        {640, 1, 640, {}},
        {641, 1, 640, {0}},
        {100, 1, 100, {}},
    };
    for (const auto& c : cases) {
        const TickLayout layout = LayOutTicks(c.width, c.count);
        std::vector<int> over;
        for (int i = 0; i < c.count; ++i)
            if (CursorOverTick(layout, TickX(layout, i), c.mouseX)) over.push_back(i);
        EXPECT_EQ(over, c.over) << c.count << " ticks at width " << c.width << ", cursor at " << c.mouseX;
    }
}

TEST(ChartGeometry, ValuesAreScaledToTheFullHeight)
{
    const struct {
        int height;
        float value;
        int y;
    } cases[] = {
        {200, 1, 0},      // the highest tick: the top row
        {200, 0, 200},    // the lowest: the row just below the client area
        {200, 0.5f, 100},
        {201, 0.5f, 100}, // 100.5, truncated
        {453, 0.5f, 226},
        {200, 0.25f, 150},
        {200, 0.3f, 139}, // the float nearest 0.3 is slightly above it
        {0, 0.5f, 0},
        {480, 0.19996949f, 384},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ValueY(c.height, c.value), c.y) << "value " << c.value << " at height " << c.height;
}

}  // namespace
