#include "column_runs.h"

#include <cstdint>

namespace {

// The first index in [low, high) at which `holds` is true, for a test that is
// false up to some index and true from there on; high when it never holds.
template <typename Test>
int FirstWhere(int low, int high, Test holds)
{
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (holds(middle))
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

}  // namespace

int RunEnd(const TickLayout& layout, int first)
{
    const int x = TickX(layout, first);
    const auto leaves = [&](int i) { return TickX(layout, i) != x; };
    // Steps of 1, 2, 4, ... until one leaves the column: a run costs about
    // twice the logarithm of its length, and a run of one tick a single step.
    int inside = first;
    int end = layout.count;
    for (int64_t step = 1; step < end - inside; step *= 2) {
        const int next = inside + static_cast<int>(step);
        if (leaves(next)) {
            end = next;
            break;
        }
        inside = next;
    }
    return FirstWhere(inside + 1, end, leaves);
}

TickRange HoveredTicks(const TickLayout& layout, int mouseX)
{
    const auto over = [&](int i) { return CursorOverTick(layout, TickX(layout, i), mouseX); };
    if (layout.count == 1) return over(0) ? TickRange{0, 1} : TickRange{0, 0};
    // With a step of zero or less no tick's interval holds any x at all.
    if (layout.count < 1 || !(layout.step > 0)) return TickRange{0, 0};

    // Tick positions grow with the index: the ticks whose interval reaches
    // past the cursor form a tail, and among them those whose interval
    // starts before the cursor form a head.
    const Extended half = layout.step / 2;
    const int begin = FirstWhere(0, layout.count, [&](int i) { return TickX(layout, i) + half > mouseX; });
    const int end = FirstWhere(begin, layout.count, [&](int i) { return !over(i); });
    return TickRange{begin, end};
}
