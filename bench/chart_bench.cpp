// The chart frame at capacity: 1000 symbols, a selected series of 100000
// ticks, TickNumber 100000, the 640 x 480 chart window, the cursor over the
// line. Each series shape is drawn the straightforward way (every segment,
// every symbol) and ours, alternately, as whole Display calls into the real
// window; the two frames are also composed into DIB sections and compared.
#include <windows.h>

#include <cstring>
#include <vector>

#include "core/stock_table.h"
#include "harness.h"
#include "support/dib_section.h"
#include "support/straight_frame.h"
#include "ui/chart_window.h"

namespace {

struct Shape {
    const char* name;
    float (*value)(int i, float walk);
};

const Shape Shapes[] = {
    {"random walk", [](int, float walk) { return walk; }},
    {"spiky", [](int i, float) { return 50.0f + (i % 97 == 13 ? 30.0f : 0.0f) + static_cast<float>(i % 5) * 0.01f; }},
    {"sawtooth", [](int i, float) { return 20.0f + static_cast<float>(i % 257) * 0.125f; }},
    {"alternating", [](int i, float) { return i % 2 ? 10.01f : 10.0f; }},
    {"flat", [](int, float) { return 42.5f; }},
};

void FillSeries(const Shape& shape, int stock)
{
    uint32_t noise = 12345;
    float walk = 100;
    for (int i = 0; i < MaxTicks; ++i) {
        noise = noise * 1664525u + 1013904223u;
        walk += (static_cast<float>(noise >> 16) / 65536.0f - 0.5f) * 0.8f;
        StockFile[stock].StockValues[i] = shape.value(i, walk);
    }
    StockFile[stock].FileSize = MaxTicks;
}

// The frame of `draw` composed into a DIB section: its pixels.
std::vector<uint32_t> Compose(bool (*draw)(HDC, int, int, int, char (&)[1000]), int width, int height)
{
    const DibSection frame(width, height, RGB(0, 255, 0));
    char title[1000];
    TickNumber = MaxTicks;
    draw(frame.dc(), width, height, Mouse.x, title);
    const uint32_t* bits = frame.bits();
    return std::vector<uint32_t>(bits, bits + static_cast<size_t>(width) * static_cast<size_t>(height));
}

void Pump()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace

int main()
{
    Instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA wincl = ChartWindowClass();
    RegisterClassExA(&wincl);
    OpenChartWindow();
    Pump();
    RECT client;
    GetClientRect(DisplayWindow, &client);

    FileNumber = MaxStockFiles;
    for (int i = 0; i < MaxStockFiles; ++i) snprintf(FileName[i], SymbolSlotSize, "SYM%03d", i);
    FileIndex = MaxStockFiles / 2;
    Mouse.x = (100 + client.right) / 2;
    Mouse.y = client.bottom / 2;

    std::vector<double> allStraight, allOurs;
    double slowest = 0;
    bool identical = true;
    for (const Shape& shape : Shapes) {
        FillSeries(shape, FileIndex);
        const bool same = Compose(DrawStraightFrame, client.right, client.bottom) ==
                          Compose(DrawFrame, client.right, client.bottom);
        identical = identical && same;
        std::vector<double> s, o;
        for (int round = 0; round < 12; ++round) {
            TickNumber = MaxTicks;
            s.push_back(TimeMs(DisplayStraight));
            for (int k = 0; k < 4; ++k) {
                TickNumber = MaxTicks;
                o.push_back(TimeMs(Display));
            }
            Pump();
        }
        const double straight = Median(s), ours = Median(o);
        slowest = std::max(slowest, ours);
        allStraight.insert(allStraight.end(), s.begin(), s.end());
        allOurs.insert(allOurs.end(), o.begin(), o.end());
        Row(std::string("Chart frame: ") + shape.name, Ms(straight), Ms(ours), Ratio(straight, ours),
            same ? "pixels identical" : "PIXELS DIFFER");
    }
    const double straight = Median(allStraight), ours = Median(allOurs);
    char note[160];
    snprintf(note, sizeof note, "target >= 8x; slowest fixture %.2f ms (target <= 16 ms); %dx%d client", slowest,
             static_cast<int>(client.right), static_cast<int>(client.bottom));
    Row("Chart frame: all fixtures", Ms(straight), Ms(ours), Ratio(straight, ours), note);
    DestroyWindow(DisplayWindow);
    return identical ? 0 : 1;
}
