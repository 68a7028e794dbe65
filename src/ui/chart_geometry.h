// The chart's arithmetic, free of any drawing: where the symbols of the list
// lie, which ticks are plotted, how their values are scaled, where each one
// lies on the plot and which ones the cursor is over.
#pragma once

// The plot positions are computed in extended precision: with gcc and clang
// on x86 long double is the x87 format with a 64-bit significand. MSVC's
// long double is the same type as double, so a build with it computes with
// a 53-bit significand and a position that lies within rounding distance of
// a whole pixel can come out one pixel off.
using Extended = long double;

constexpr int SymbolPanelWidth = 100;  // the plot panel starts at this x
constexpr int SymbolPitch = 16;        // pixels from one listed symbol to the next

// The top of symbol i's text when symbol `selected` is selected: the list is
// scrolled so that the selected symbol starts at height / 2 + 1.
int SymbolTop(int height, int i, int selected);

// How many of the newest of `fileSize` ticks are plotted for the setting
// `tickNumber`: none when it is 0 or less, all of them when it is larger.
// The first plotted tick is StockValues[fileSize - PlottedTicks(...)].
int PlottedTicks(int fileSize, int tickNumber);

// Scales count values in place, in single precision, so that the lowest
// becomes 0 and the highest 1. A value that has no place on that scale is
// set to 0.5, mid-height: all of them when every value is the same (a range
// of zero, a single tick included), and any that comes out as not a number
// from prices beyond the float range.
void NormaliseSeries(float* values, int count);

// The horizontal layout of `count` plotted ticks on a client area of the
// given width.
struct TickLayout {
    int count;
    int width;
    Extended step;  // s: (width - 100) / (count - 1); for one tick, width - 100
};

TickLayout LayOutTicks(int width, int count);

// The x of plotted tick i: trunc(s * i + 100). A single tick lies in the
// middle of the plot panel, at trunc(100 + (width - 100) / 2).
int TickX(const TickLayout& layout, int i);

// Whether the cursor at mouseX is over the tick drawn at tickX: strictly
// within s / 2 of it. A single tick owns the whole plot panel, 100 < mouseX < width.
bool CursorOverTick(const TickLayout& layout, int tickX, int mouseX);

// The y of a normalised value on a client area of the given height:
// trunc(height - height * value). 1 lies at y = 0 and 0 at y = height.
int ValueY(int height, float normalised);
