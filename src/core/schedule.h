// The streaming schedule's arithmetic, kept free of Windows calls so that
// tables of cases can test it.
#pragma once

#include <cstdint>

// Streaming runs from hour StartingTime - 1 through StoppingTime - 1. Computed
// in 64 bits so that extreme settings cannot overflow.
inline bool InStreamingWindow(int hour, int32_t startingTime, int32_t stoppingTime)
{
    return int64_t{startingTime} - 1 <= hour && hour <= int64_t{stoppingTime} - 1;
}

// Milliseconds from stamp to now on the 32-bit tick counter, correct across
// its wrap as long as the span is under 49.7 days.
inline uint32_t TicksSince(uint32_t now, uint32_t stamp)
{
    return now - stamp;
}

// A check is due when strictly more than streamFrequency seconds have passed.
// A negative interval counts as 0; the product is taken in 64 bits.
inline bool IntervalElapsed(uint32_t now, uint32_t stamp, int32_t streamFrequency)
{
    int64_t limit = streamFrequency > 0 ? int64_t{streamFrequency} * 1000 : 0;
    return int64_t{TicksSince(now, stamp)} > limit;
}

// The pacing period of the main loop and of the download cycle's wait.
constexpr uint32_t PacingPeriod = 60;

inline bool PacingElapsed(uint32_t now, uint32_t stamp)
{
    return TicksSince(now, stamp) >= PacingPeriod;
}
