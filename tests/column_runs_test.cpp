// The runs of ticks that share a pixel column and the ticks under the cursor,
// found with a few position computations: checked against the tick-by-tick
// answer over many layouts, and a few cases worked through by hand.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ui/column_runs.h"

namespace {

const int Widths[] = {0, 1, 60, 99, 100, 101, 102, 105, 108, 300, 632, 640, 1280, 3000};
const int Counts[] = {1, 2, 3, 7, 100, 531, 532, 533, 1000, 65537, 100000};

std::string Describe(int width, int count)
{
    return "width " + std::to_string(width) + ", " + std::to_string(count) + " ticks";
}

TEST(ColumnRuns, EachRunHoldsExactlyTheTicksOfOneColumn)
{
    for (int width : Widths)
        for (int count : Counts) {
            SCOPED_TRACE(Describe(width, count));
            const TickLayout layout = LayOutTicks(width, count);
            int runs = 0;
            for (int first = 0; first < count;) {
                const int end = RunEnd(layout, first);
                ASSERT_GT(end, first);
                ASSERT_LE(end, count);
                const int x = TickX(layout, first);
                for (int i = first; i < end; ++i) ASSERT_EQ(TickX(layout, i), x) << "tick " << i;
                if (end < count) {
                    ASSERT_NE(TickX(layout, end), x) << "tick " << end << " ends the run";
                }
                // A run that starts inside a column ends where the column does.
                if (end - first > 2) {
                    ASSERT_EQ(RunEnd(layout, first + 1), end);
                }
                first = end;
                ++runs;
            }
            int columns = 1;
            for (int i = 1; i < count; ++i) columns += TickX(layout, i) != TickX(layout, i - 1);
            EXPECT_EQ(runs, columns) << "one run per column that holds a tick";
        }
}

TEST(ColumnRuns, HoveredTicksAreExactlyThoseTheCursorIsOver)
{
    for (int width : Widths)
        for (int count : Counts) {
            SCOPED_TRACE(Describe(width, count));
            const TickLayout layout = LayOutTicks(width, count);
            std::vector<int> x(static_cast<size_t>(count));
            for (int i = 0; i < count; ++i) x[static_cast<size_t>(i)] = TickX(layout, i);
            std::vector<int> cursors = {-5, 0, 99, 100, 101, 102, 103, width / 2 + 50, width - 1, width, width + 1,
                                        width + 40, 65535};
            if (count <= 1000)
                for (int m = 95; m < width + 5 && m < 400; m += 3) cursors.push_back(m);
            for (int mouseX : cursors) {
                std::vector<int> over;
                for (int i = 0; i < count; ++i)
                    if (CursorOverTick(layout, x[static_cast<size_t>(i)], mouseX)) over.push_back(i);
                const TickRange found = HoveredTicks(layout, mouseX);
                std::vector<int> listed;
                for (int i = found.begin; i < found.end; ++i) listed.push_back(i);
                ASSERT_EQ(listed, over) << "cursor at " << mouseX;
            }
        }
}

TEST(ColumnRuns, WorkedCases)
{
    // 532 pixels for 100000 ticks: s = 532 / 99999, and 188 * s is the first
    // multiple that reaches a whole pixel.
    const TickLayout capacity = LayOutTicks(632, 100000);
    EXPECT_EQ(RunEnd(capacity, 0), 188);
    EXPECT_EQ(RunEnd(capacity, 187), 188);
    EXPECT_EQ(RunEnd(capacity, 99999), 100000);

    const struct {
        int width, count, mouseX, begin, end;
    } cases[] = {
        {300, 3, 200, 1, 2},       // the middle tick
        {108, 3, 102, 0, 0},       // s = 4, halfway between two ticks: neither
        {105, 3, 101, 0, 2},       // s = 2.5: two ticks' intervals overlap
        {300, 1, 101, 0, 1},       // a single tick owns the plot panel
        {300, 1, 100, 0, 0},
        {100, 3, 100, 0, 0},       // s = 0: never
        {60, 3, 80, 0, 0},         // s < 0: never
        {632, 100000, 101, 188, 376},  // every tick drawn at x = 101
    };
    for (const auto& c : cases) {
        const TickRange r = HoveredTicks(LayOutTicks(c.width, c.count), c.mouseX);
        EXPECT_EQ(r.end > r.begin ? r.begin : 0, c.begin) << Describe(c.width, c.count) << ", cursor " << c.mouseX;
        EXPECT_EQ(r.end > r.begin ? r.end : 0, c.end) << Describe(c.width, c.count) << ", cursor " << c.mouseX;
    }
}

}  // namespace
