// The chart's costly parts drawn by pixel column: the series with one line per
// column instead of one per tick, and the symbol list without the texts that
// cannot reach the visible area. Each gives the very pixels of the
// straightforward drawing: one MoveToEx/LineTo per segment, every symbol drawn.
#pragma once

#include <windows.h>

#include "chart_geometry.h"

// Draws the series of layout.count normalised values (none of them NaN) with
// the pen selected into dc, pixel for pixel as one MoveToEx/LineTo per
// segment draws it, with x[i] = TickX(layout, i). The ticks that share a pixel column are drawn as
// one vertical line from their highest to their lowest point, and each step
// from one column to the next as the segment between its two ticks.
void DrawColumns(HDC dc, const TickLayout& layout, const float* values, int height);

// The tops from `first` up to, not including, `last` at which a line of text
// in dc's font may put a pixel into dc's visible area. Text placed elsewhere
// is clipped away whole. The bound allows a cell height of overhang above and
// below the text's cell.
struct TextTops {
    int first;
    int last;
};
TextTops VisibleTextTops(HDC dc);
