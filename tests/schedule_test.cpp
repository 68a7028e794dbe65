#include <climits>
#include <cstdint>

#include <gtest/gtest.h>

#include "core/schedule.h"

namespace {

struct WindowCase {
    int32_t start, stop;
    int hour;
    bool streams;
};

TEST(StreamingWindow, RunsFromStartMinusOneThroughStopMinusOne)
{
    const WindowCase cases[] = {
        {7, 16, 5, false},   {7, 16, 6, true},   {7, 16, 15, true},  {7, 16, 16, false},
        {0, 5, 0, true},     {1, 5, 0, true},    {1, 24, 23, true},  {1, 23, 23, false},
        {16, 7, 10, false},  {16, 7, 20, false}, {16, 7, 3, false},  {5, 0, 0, false},
        {0, 0, 0, false},    {9, 9, 8, true},    {9, 9, 9, false},   {9, 9, 7, false},
        {INT_MIN, INT_MAX, 0, true}, {INT_MIN, INT_MAX, 23, true}, {INT_MAX, INT_MAX, 23, false},
        {INT_MIN, INT_MIN, 0, false},
    };
    for (const WindowCase& c : cases)
        EXPECT_EQ(InStreamingWindow(c.hour, c.start, c.stop), c.streams)
            << "start " << c.start << " stop " << c.stop << " hour " << c.hour;
}

struct IntervalCase {
    uint32_t stamp, now;
    int32_t frequency;
    bool due;
};

TEST(CheckInterval, IsStrictAndSurvivesTheCounterWrap)
{
    const IntervalCase cases[] = {
        {1000, 61000, 60, false},            // exactly the interval is not enough
        {1000, 61001, 60, true},
        {1000, 1000, 0, false},              // frequency 0: due once the count advances
        {1000, 1001, 0, true},
        {0xFFFFFF00u, 0xFFFFFFFFu, 1, false},  // near the wrap, not yet
        {0xFFFFFF00u, 1000, 1, true},          // 1256 ms across the wrap
        {0xFFFFFF00u, 743, 1, false},          // exactly 999 ms across the wrap
        {0xFFFFFF00u, 744, 1, false},          // exactly 1000 ms
        {0xFFFFFF00u, 745, 1, true},
        {5000, 5001, -3, true},              // negative counts as 0
        {5000, 5000, -3, false},
        {5000, 5001, INT_MIN, true},
        {0, 0xFFFFFFFFu, INT_MAX, false},      // 2^31 s does not fit in 32-bit ms
        {0, 0xFFFFFFFFu, 4294968, false},      // more ms than the counter can span
        {0, 0xFFFFFFFFu, 4294967, true},
    };
    for (const IntervalCase& c : cases)
        EXPECT_EQ(IntervalElapsed(c.now, c.stamp, c.frequency), c.due)
            << "stamp " << c.stamp << " now " << c.now << " frequency " << c.frequency;
}

TEST(Pacing, EndsSixtyMillisecondsAfterTheStampAcrossTheWrap)
{
    const struct {
        uint32_t stamp, now;
        bool done;
    } cases[] = {
        {100, 159, false}, {100, 160, true}, {100, 100, false},
        {0xFFFFFFF0u, 0xFFFFFFFFu, false}, {0xFFFFFFF0u, 43, false}, {0xFFFFFFF0u, 44, true},
        {0xFFFFFFF0u, 0x7FFFFFFFu, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PacingElapsed(c.now, c.stamp), c.done) << "stamp " << c.stamp << " now " << c.now;
}

}  // namespace
