// Where the plotted ticks fall in whole pixel columns. Tick x positions never
// decrease (or, on a plot narrower than the symbol panel, never increase) with
// the tick's index, so the ticks that share a column are consecutive, and so
// are the ticks that the cursor is over. These functions find such ranges
// with a few position computations instead of one per tick.
#pragma once

#include "chart_geometry.h"

// One past the last tick of the run that starts at tick `first`: the ticks
// first .. RunEnd - 1 all lie at TickX(layout, first), and tick RunEnd, if
// there is one, does not. first must be below layout.count.
int RunEnd(const TickLayout& layout, int first);

// A half-open range of tick indices.
struct TickRange {
    int begin;
    int end;
};

// Exactly the ticks i for which CursorOverTick(layout, TickX(layout, i),
// mouseX) holds, in index order; an empty range when there is none.
TickRange HoveredTicks(const TickLayout& layout, int mouseX);
