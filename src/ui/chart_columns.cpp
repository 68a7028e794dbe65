#include "chart_columns.h"

#include <algorithm>
#include <climits>

#include "column_runs.h"

void DrawColumns(HDC dc, const TickLayout& layout, const float* values, int height)
{
    const int count = layout.count;
    for (int first = 0; first < count;) {
        const int end = RunEnd(layout, first);
        const int x = TickX(layout, first);
        // The run's vertical segments, which share their end points, cover
        // what one line over their whole extent covers. A single tick is a
        // point, as DrawSegments draws it.
        if (end - first >= 2 || count == 1) {
            float low = values[first];
            float high = values[first];
            for (int i = first + 1; i < end; ++i) {
                low = values[i] < low ? values[i] : low;
                high = values[i] > high ? values[i] : high;
            }
            const int y1 = ValueY(height, low);
            const int y2 = ValueY(height, high);
            MoveToEx(dc, x, std::min(y1, y2), nullptr);
            LineTo(dc, x, std::max(y1, y2));
        }
        if (end < count) {
            MoveToEx(dc, x, ValueY(height, values[end - 1]), nullptr);
            LineTo(dc, TickX(layout, end), ValueY(height, values[end]));
        }
        first = end;
    }
}

TextTops VisibleTextTops(HDC dc)
{
    RECT visible;
    TEXTMETRICA metrics;
    if (GetClipBox(dc, &visible) == ERROR || !GetTextMetricsA(dc, &metrics)) return TextTops{INT_MIN, INT_MAX};
    const int cell = std::max(static_cast<int>(metrics.tmHeight + metrics.tmExternalLeading), 0);
    return TextTops{visible.top - 2 * cell + 1, visible.bottom + cell};
}
