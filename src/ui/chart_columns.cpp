#include "chart_columns.h"

#include <algorithm>
#include <climits>

#include "column_runs.h"

namespace {

// Segments are handed to GDI in batches, each one PolyPolyline of two-point
// lines: every line is stroked as MoveToEx/LineTo would stroke it, and the
// batch's pixels are filled at once. A batch stays small enough that the
// outline GDI gathers for it stays small too.
class SegmentBatch {
public:
    explicit SegmentBatch(HDC dc) : dc_(dc) {}
    ~SegmentBatch() { Flush(); }
    SegmentBatch(const SegmentBatch&) = delete;
    SegmentBatch& operator=(const SegmentBatch&) = delete;

    void Add(int x1, int y1, int x2, int y2)
    {
        points_[2 * size_] = POINT{x1, y1};
        points_[2 * size_ + 1] = POINT{x2, y2};
        if (++size_ == Capacity) Flush();
    }

private:
    static constexpr int Capacity = 64;
    static const DWORD Pairs[Capacity];

    void Flush()
    {
        if (size_ > 0) PolyPolyline(dc_, points_, Pairs, static_cast<DWORD>(size_));
        size_ = 0;
    }

    HDC dc_;
    POINT points_[2 * Capacity];
    int size_ = 0;
};

const DWORD SegmentBatch::Pairs[Capacity] = {
    2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,
    2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2};

}  // namespace

void DrawColumns(HDC dc, const TickLayout& layout, const float* values, int height)
{
    SegmentBatch segments(dc);
    const int count = layout.count;
    for (int first = 0; first < count;) {
        const int end = RunEnd(layout, first);
        const int x = TickX(layout, first);
        // The run's vertical segments, which share their end points, cover
        // what one line over their whole extent covers. A single tick is a
        // point, a segment of length zero.
        if (end - first >= 2 || count == 1) {
            float low = values[first];
            float high = values[first];
            for (int i = first + 1; i < end; ++i) {
                low = values[i] < low ? values[i] : low;
                high = values[i] > high ? values[i] : high;
            }
            const int y1 = ValueY(height, low);
            const int y2 = ValueY(height, high);
            segments.Add(x, std::min(y1, y2), x, std::max(y1, y2));
        }
        if (end < count)
            segments.Add(x, ValueY(height, values[end - 1]), TickX(layout, end), ValueY(height, values[end]));
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
