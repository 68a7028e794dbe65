// The chart window in this process: frames composed into memory DCs and
// checked pixel by pixel, the window's own frames and title, the arrow keys
// through real keyboard input, and the GDI objects that frames take.
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/stock_table.h"
#include "support/dib_section.h"
#include "ui/chart_window.h"
#include "win/process_counts.h"

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Green = RGB(0, 255, 0);  // what no frame draws: shows an undrawn pixel

// A frame to draw into, read pixel by pixel.
class Frame : public DibSection {
public:
    Frame(int width, int height, COLORREF fill = Green) : DibSection(width, height, fill) {}

    COLORREF Pixel(int x, int y) const
    {
        GdiFlush();
        const DWORD p = bits_[y * width_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    // The first pixel in which two frames of one size differ, as text; empty when none does.
    std::string FirstDifference(const Frame& other) const
    {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                if (Pixel(x, y) != other.Pixel(x, y))
                    return "(" + std::to_string(x) + ", " + std::to_string(y) + "): " + Hex(Pixel(x, y)) +
                           " instead of " + Hex(other.Pixel(x, y));
        return "";
    }
    int Count(COLORREF colour, int left, int top, int right, int bottom) const
    {
        int n = 0;
        for (int y = std::max(top, 0); y < std::min(bottom, height_); ++y)
            for (int x = std::max(left, 0); x < std::min(right, width_); ++x) n += Pixel(x, y) == colour;
        return n;
    }
    int Count(COLORREF colour) const { return Count(colour, 0, 0, width_, height_); }

private:
    static std::string Hex(COLORREF c)
    {
        char text[16];
        snprintf(text, sizeof text, "%06lX", static_cast<unsigned long>(c));
        return text;
    }
};

struct Stock {
    const char* symbol;
    std::vector<float> ticks;
};

// The shared state that the chart reads, set afresh for every test.
class ChartState : public ::testing::Test {
protected:
    void SetUp() override { SetStocks({}); }
    void TearDown() override { SetStocks({}); }

    static void SetStocks(const std::vector<Stock>& stocks)
    {
        for (int i = 0; i < MaxStockFiles; ++i) StockFile[i].FileSize = 0;
        memset(FileName, 0, sizeof FileName);
        FileNumber = static_cast<int32_t>(stocks.size());
        for (size_t i = 0; i < stocks.size(); ++i) {
            strcpy(FileName[i], stocks[i].symbol);
            StockFile[i].FileSize = static_cast<int32_t>(stocks[i].ticks.size());
            std::copy(stocks[i].ticks.begin(), stocks[i].ticks.end(), StockFile[i].StockValues);
        }
        FileIndex = 0;
        TickNumber = 1000;
        Mouse = POINT{0, 0};
    }

    // DrawFrame into a fresh frame; the title it asks for, or "" when none.
    static std::string Draw(const Frame& frame, int mouseX)
    {
        char title[1000] = "untouched";
        const bool hovered = DrawFrame(frame.dc(), frame.width(), frame.height(), mouseX, title);
        return hovered ? title : "";
    }
};

// The frame that the chart must draw, composed from first principles: the
// two outlined panels, the texts at x = 1, then the series through the given
// points with the 2-pixel red pen, then a marker on each given point.
struct Text {
    int y;
    COLORREF colour;
    std::string text;
};

struct Expected {
    std::vector<POINT> line;
    std::vector<POINT> markers;
    std::vector<Text> texts;
};

void DrawExpected(const Frame& frame, const Expected& e)
{
    Rectangle(frame.dc(), 0, 0, 100, frame.height());
    Rectangle(frame.dc(), 100, 0, frame.width(), frame.height());
    for (const Text& t : e.texts) {
        SetTextColor(frame.dc(), t.colour);
        TextOutA(frame.dc(), 1, t.y, t.text.c_str(), static_cast<int>(t.text.size()));
    }
    const HPEN pen = CreatePen(PS_SOLID, 2, Red);
    const HGDIOBJ old = SelectObject(frame.dc(), pen);
    if (e.line.size() == 1) {
        MoveToEx(frame.dc(), e.line[0].x, e.line[0].y, nullptr);
        LineTo(frame.dc(), e.line[0].x, e.line[0].y);
    }
    for (size_t i = 0; i + 1 < e.line.size(); ++i) {
        MoveToEx(frame.dc(), e.line[i].x, e.line[i].y, nullptr);
        LineTo(frame.dc(), e.line[i + 1].x, e.line[i + 1].y);
    }
    for (const POINT& m : e.markers) Rectangle(frame.dc(), m.x - 5, m.y - 5, m.x + 5, m.y + 5);
    SelectObject(frame.dc(), old);
    DeleteObject(pen);
}

// ---- Panels and the symbol list ---------------------------------------------

using ChartFrame = ChartState;

TEST_F(ChartFrame, TwoWhitePanelsWithBlackOutlinesCoverTheWholeFrame)
{
    const struct {
        int width, height;
    } sizes[] = {{632, 453}, {300, 200}, {101, 40}, {150, 3}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(std::to_string(size.width) + " x " + std::to_string(size.height));
        Frame frame(size.width, size.height);
        EXPECT_EQ(Draw(frame, 200), "");
        int wrong = 0;
        for (int y = 0; y < size.height; ++y)
            for (int x = 0; x < size.width; ++x) {
                const bool edge = y == 0 || y == size.height - 1 || x == 0 || x == 99 || x == 100 ||
                                  x == size.width - 1;
                const COLORREF want = edge ? Black : White;
                if (frame.Pixel(x, y) != want && ++wrong <= 3)
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << frame.Pixel(x, y);
            }
        EXPECT_EQ(wrong, 0);
    }
}

// The rows in which the symbol panel holds text of a colour, inside its outline.
std::vector<int> RowsWith(const Frame& frame, COLORREF colour)
{
    std::vector<int> rows;
    for (int y = 1; y < frame.height() - 1; ++y)
        if (frame.Count(colour, 1, y, 99, y + 1) > 0) rows.push_back(y);
    return rows;
}

int TextHeight(const Frame& frame)
{
    TEXTMETRICA metrics;
    GetTextMetricsA(frame.dc(), &metrics);
    return metrics.tmHeight;
}

TEST_F(ChartFrame, SelectedSymbolIsRedAtHalfHeightAndTheOthersBlackSixteenPixelsApart)
{
    const char* symbols[] = {"IBM", "MSFT", "AAPL", "GE", "KO", "XOM", "T", "HD", "BA", "MMM",
                             "PG", "JNJ", "WMT", "DIS", "CAT"};
    const struct {
        int count, selected, height;
    } cases[] = {
        {5, 0, 200},   // the list hangs below the middle
        {5, 4, 200},   // and above it
        {5, 2, 201},   // height / 2 rounds down
        {15, 7, 120},  // more symbols than fit: the outer ones are clipped
        {1, 0, 40},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.count) + " symbols, " + std::to_string(c.selected) + " selected, height " +
                     std::to_string(c.height));
        std::vector<Stock> stocks;
        for (int i = 0; i < c.count; ++i) stocks.push_back({symbols[i], {}});
        SetStocks(stocks);
        FileIndex = c.selected;
        Frame frame(300, c.height);
        Draw(frame, 0);
        const int textHeight = TextHeight(frame);
        ASSERT_GT(textHeight, 0);
        ASSERT_LE(textHeight, 16);

        const int selectedTop = c.height / 2 + 1;
        std::vector<int> red = RowsWith(frame, Red);
        ASSERT_FALSE(red.empty());
        EXPECT_GE(red.front(), selectedTop);
        EXPECT_LT(red.back(), selectedTop + textHeight);

        std::vector<int> black = RowsWith(frame, Black);
        for (int i = 0; i < c.count; ++i) {
            const int top = selectedTop + 16 * (i - c.selected);
            const int bottom = std::min(top + textHeight, c.height - 1);
            if (i == c.selected || bottom <= 1 || top >= c.height - 1) continue;
            const int rows = frame.Count(Black, 1, std::max(top, 1), 99, bottom);
            EXPECT_GT(rows, 0) << "no black text for symbol " << i << " at y = " << top;
        }
        for (int y : black) {
            const int offset = y - selectedTop + 16 * c.selected;  // rows from symbol 0's top
            const int i = offset >= 0 ? offset / 16 : -1;
            EXPECT_TRUE(i >= 0 && i < c.count && i != c.selected && offset % 16 < textHeight)
                << "black text in row " << y << ", outside every unselected symbol";
        }
        EXPECT_EQ(frame.Count(Red, 100, 0, 300, c.height), 0) << "no red in the plot panel";

        Expected e;
        for (int i = 0; i < c.count; ++i) e.texts.push_back({selectedTop + 16 * (i - c.selected), Black, symbols[i]});
        e.texts.push_back({selectedTop, Red, symbols[c.selected]});
        Frame expected(300, c.height);
        DrawExpected(expected, e);
        EXPECT_EQ(frame.FirstDifference(expected), "");
    }
}

TEST_F(ChartFrame, EmptyTableDrawsThePanelsOnly)
{
    FileIndex = 3;  // cannot select anything: the empty FileName[0] is drawn
    Frame frame(300, 200);
    EXPECT_EQ(Draw(frame, 150), "");
    EXPECT_EQ(frame.Count(Red) + frame.Count(Green), 0);
    Frame expected(300, 200);
    DrawExpected(expected, {});
    EXPECT_EQ(frame.FirstDifference(expected), "");
}

TEST_F(ChartFrame, LongSymbolRunsOnIntoThePlotPanel)
{
    SetStocks({{"A", {}}, {"VERYLONGSYMBOLTHATDOESNOTFITTHEPANEL", {}}});
    FileIndex = 1;
    Frame frame(400, 200);
    Draw(frame, 0);
    EXPECT_GT(frame.Count(Red, 101, 101, 400, 117), 0);
    EXPECT_GT(frame.Count(Red, 1, 101, 99, 117), 0);
}

// ---- The series -------------------------------------------------------------

TEST_F(ChartFrame, SeriesRunsThroughItsTicksWithTheHighestAtTheTop)
{
    std::vector<float> newest100(300, 1000);  // the 200 oldest lie far above the plotted ones
    newest100[200] = 1;
    for (int i = 201; i < 299; ++i) newest100[i] = 2;
    newest100[299] = 3;
    std::vector<POINT> flat{{100, 200}};
    for (int i = 1; i < 99; ++i) flat.push_back({100 + 2 * i, 100});
    flat.push_back({298, 0});

    const struct {
        const char* name;
        std::vector<float> ticks;
        int tickNumber, width, height;
        std::vector<POINT> line;
        int tickNumberAfter;
    } cases[] = {
        {"three ticks, the setting lowered", {1, 3, 2}, 1000, 300, 200, {{100, 200}, {200, 0}, {300, 100}}, 3},
        {"three at an odd width", {1, 3, 2}, 1000, 301, 200, {{100, 200}, {200, 0}, {301, 100}}, 3},
        {"the newest 100 of 300", newest100, 100, 298, 200, flat, 100},
        {"two newest of four", {5, 7, 6, 4}, 2, 300, 200, {{100, 0}, {300, 200}}, 2},
        {"the two rising", {5, 7, 4, 6}, 2, 300, 200, {{100, 200}, {300, 0}}, 2},
        {"all equal: mid-height", {5, 5, 5}, 1000, 300, 201, {{100, 100}, {200, 100}, {300, 100}}, 3},
        {"one tick: a point in the middle", {1, 2, 3}, 1, 300, 200, {{200, 100}}, 1},
        {"width 100: all at x = 100", {1, 3, 2}, 1000, 100, 200, {{100, 200}, {100, 0}, {100, 100}}, 3},
        {"width 90: leftwards", {1, 3, 2}, 1000, 90, 200, {{100, 200}, {95, 0}, {90, 100}}, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetStocks({{"", c.ticks}});
        TickNumber = c.tickNumber;
        Frame frame(c.width, c.height);
        EXPECT_EQ(Draw(frame, 0), "");
        EXPECT_EQ(TickNumber, c.tickNumberAfter);
        Frame expected(c.width, c.height);
        DrawExpected(expected, {c.line, {}, {}});
        EXPECT_EQ(frame.FirstDifference(expected), "");
        EXPECT_GT(frame.Count(Red), 0);
    }
}

TEST_F(ChartFrame, HighestTickTouchesTheTopRowAndTheLowestLiesBelowTheFrame)
{
    SetStocks({{"", {1, 3, 2}}});
    Frame frame(300, 200);
    Draw(frame, 0);
    // The peak at (200, 0): the 2-pixel line reaches row 0 there and nowhere else.
    EXPECT_GT(frame.Count(Red, 195, 0, 205, 1), 0);
    EXPECT_EQ(frame.Count(Red, 101, 0, 195, 1) + frame.Count(Red, 205, 0, 300, 1), 0);
    // The start at (100, 200) lies below the last row; the line meets that row near x = 100.
    EXPECT_GT(frame.Count(Red, 100, 199, 103, 200), 0);
}

TEST_F(ChartFrame, SingleTickIsATwoPixelDot)
{
    SetStocks({{"", {4, 9, 6, 2}}});
    TickNumber = 1;
    Frame frame(300, 201);
    Draw(frame, 0);
    // x = 100 + (300 - 100) / 2 and y = trunc(201 - 201 * 0.5); the pen covers
    // the pixel to the upper left of the point as well.
    EXPECT_EQ(frame.Count(Red), 4);
    EXPECT_EQ(frame.Count(Red, 199, 99, 201, 101), 4);
}

TEST_F(ChartFrame, NoSeriesForFewTicksOrNoTicksToShow)
{
    const struct {
        std::vector<float> ticks;
        int tickNumber;
    } cases[] = {
        {{}, 1000}, {{5}, 1000}, {{5, 6}, 1000}, {{5, 6}, 2},
        {{5, 6, 7}, 0}, {{5, 6, 7}, -1}, {{5, 6, 7}, INT_MIN},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.ticks.size()) + " ticks, setting " + std::to_string(c.tickNumber));
        SetStocks({{"", c.ticks}});
        TickNumber = c.tickNumber;
        Frame frame(300, 200);
        EXPECT_EQ(Draw(frame, 150), "");
        EXPECT_EQ(TickNumber, c.tickNumber);
        EXPECT_EQ(frame.Count(White, 101, 1, 299, 199), 198 * 198) << "the plot panel stays white";
        Frame expected(300, 200);
        DrawExpected(expected, {});
        EXPECT_EQ(frame.FirstDifference(expected), "");
    }
}

// ---- The hover read-out -----------------------------------------------------

TEST_F(ChartFrame, CursorOverATickMarksItAndTheTitleShowsItsRawPrice)
{
    const struct {
        const char* name;
        std::vector<float> ticks;
        int tickNumber, width, mouseX;
        std::vector<POINT> line, markers;
        const char* title;  // "" when no tick is under the cursor
    } cases[] = {
        {"the middle tick", {23.45f, 23.5f, 23.55f}, 1000, 300, 200,
         {{100, 200}, {200, 100}, {300, 0}}, {{200, 100}}, "Stock display window - 23.500000"},
        {"the first, printed from single precision", {23.45f, 23.5f, 23.55f}, 1000, 300, 101,
         {{100, 200}, {200, 100}, {300, 0}}, {{100, 200}}, "Stock display window - 23.450001"},
        {"the last, off the right edge", {23.45f, 23.5f, 23.55f}, 1000, 300, 340,
         {{100, 200}, {200, 100}, {300, 0}}, {{300, 0}}, "Stock display window - 23.549999"},
        {"halfway at s = 4: neither", {1, 3, 2}, 1000, 108, 102,
         {{100, 200}, {104, 0}, {108, 100}}, {}, ""},
        {"s = 2.5: two marked, the later one named", {1, 3, 2}, 1000, 105, 101,
         {{100, 200}, {102, 0}, {105, 100}}, {{100, 200}, {102, 0}}, "Stock display window - 3.000000"},
        {"the raw price of the newest of 300", {}, 100, 298, 298, {}, {}, ""},
        {"one tick owns the plot panel", {7, 8, 9.25f}, 1, 300, 101, {{200, 100}}, {{200, 100}},
         "Stock display window - 9.250000"},
        {"one tick, cursor on the symbol panel", {7, 8, 9.25f}, 1, 300, 100, {{200, 100}}, {}, ""},
        {"width 100: never", {1, 3, 2}, 1000, 100, 100, {{100, 200}, {100, 0}, {100, 100}}, {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<float> ticks = c.ticks;
        std::vector<POINT> line = c.line, markers = c.markers;
        std::string title = c.title;
        if (ticks.empty()) {  // 300 prices, the newest 100 plotted: 200 + i for tick i
            for (int i = 0; i < 300; ++i) ticks.push_back(static_cast<float>(i));
            for (int i = 0; i < 100; ++i)
                line.push_back({100 + 2 * i, static_cast<LONG>(200.0 - 200.0 * (static_cast<float>(i) / 99.0f))});
            markers = {line.back()};
            title = "Stock display window - 299.000000";
        }
        SetStocks({{"", ticks}});
        TickNumber = c.tickNumber;
        Frame frame(c.width, 200);
        EXPECT_EQ(Draw(frame, c.mouseX), title);
        Frame expected(c.width, 200);
        DrawExpected(expected, {line, markers, {}});
        EXPECT_EQ(frame.FirstDifference(expected), "");
    }
}

// ---- Shared state out of its range -----------------------------------------

TEST_F(ChartFrame, StateOutOfRangeIsReadWithinTheTables)
{
    SetStocks({{"IBM", {1, 2, 3}}, {"MSFT", {3, 2, 1}}});
    const struct {
        int fileIndex, drawnAs;
        std::string title;
    } indices[] = {
        {-3, 0, "Stock display window - 1.000000"},
        {5000, 1, "Stock display window - 3.000000"},
        {INT_MAX, 1, "Stock display window - 3.000000"},
        {INT_MIN, 0, "Stock display window - 1.000000"},
    };
    for (const auto& c : indices) {
        SCOPED_TRACE("FileIndex " + std::to_string(c.fileIndex));
        FileIndex = c.fileIndex;
        Frame frame(300, 200);
        EXPECT_EQ(Draw(frame, 101), c.title);
        EXPECT_EQ(FileIndex, c.fileIndex) << "drawing does not move the selection";
        FileIndex = c.drawnAs;
        Frame expected(300, 200);
        Draw(expected, 101);
        EXPECT_EQ(frame.FirstDifference(expected), "");
    }

    // A series longer than its store holds is read as full; the setting falls to that.
    StockFile[0].FileSize = MaxTicks + 5;
    for (int i = 0; i < MaxTicks; ++i) StockFile[0].StockValues[i] = static_cast<float>(i % 7);
    FileIndex = 0;
    TickNumber = INT_MAX;
    Frame full(300, 200);
    Draw(full, 0);
    EXPECT_EQ(TickNumber, MaxTicks);
    StockFile[0].FileSize = -7;
    TickNumber = 1000;
    Frame none(300, 200);
    EXPECT_EQ(Draw(none, 200), "");
    EXPECT_EQ(TickNumber, 1000);

    // A symbol that fills its row with no zero byte is cut at the row's end:
    // its red text ends within the 100th letter, not in the next row's.
    StockFile[1].FileSize = 0;
    memset(FileName[1], 'W', SymbolSlotSize);
    memset(FileName[2], 'Z', SymbolSlotSize);
    FileIndex = 1;
    Frame unterminated(3000, 200);
    Draw(unterminated, 0);
    SIZE letters99, letters100;
    GetTextExtentPoint32A(unterminated.dc(), FileName[1], 99, &letters99);
    GetTextExtentPoint32A(unterminated.dc(), FileName[1], 100, &letters100);
    int rightmost = -1;
    for (int x = 0; x < 3000; ++x)
        if (unterminated.Count(Red, x, 0, x + 1, 200) > 0) rightmost = x;
    EXPECT_GT(rightmost, letters99.cx);
    EXPECT_LE(rightmost, letters100.cx + 1);
    EXPECT_EQ(unterminated.Count(Red), unterminated.Count(Red, 0, 101, 3000, 117));
    memset(FileName[2], 0, SymbolSlotSize);

    // An empty client area: nothing to draw into, nothing to crash on.
    FileIndex = 0;
    for (const SIZE size : {SIZE{0, 0}, SIZE{0, 200}, SIZE{300, 0}}) {
        Frame tiny(1, 1);
        char title[1000];
        StockFile[0].FileSize = 3;
        TickNumber = 1000;
        DrawFrame(tiny.dc(), size.cx, size.cy, 150, title);
        EXPECT_EQ(TickNumber, 3);
    }
}

// ---- The window ---------------------------------------------------------------

void PumpAll()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

template <typename Fn>
bool WaitFor(Fn fn, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!fn()) {
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(5);
        PumpAll();
    }
    return true;
}

std::string Title(HWND window)
{
    char text[1000] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

class ChartWindow : public ChartState {
protected:
    void SetUp() override
    {
        ChartState::SetUp();
        Instance = GetModuleHandleA(nullptr);
        static const bool registered = [] {
            WNDCLASSEXA wincl = ChartWindowClass();
            return RegisterClassExA(&wincl) != 0;
        }();
        ASSERT_TRUE(registered);
        OpenChartWindow();
        ASSERT_NE(DisplayWindow, nullptr);
        PumpAll();
    }
    void TearDown() override
    {
        DestroyWindow(DisplayWindow);
        PumpAll();
        ChartState::TearDown();
    }
    static SIZE ClientSize()
    {
        RECT client;
        GetClientRect(DisplayWindow, &client);
        return SIZE{client.right, client.bottom};
    }
    static void MoveMouse(int x, int y)
    {
        EXPECT_EQ(SendMessageA(DisplayWindow, WM_MOUSEMOVE, 0, MAKELPARAM(x, y)), 0);
    }
};

TEST_F(ChartWindow, MouseMovesAreRecordedAsUnsignedClientWords)
{
    const struct {
        LPARAM lParam;
        LONG x, y;
    } cases[] = {{MAKELPARAM(16, 32), 16, 32}, {MAKELPARAM(-1, 0x8000), 65535, 32768}, {0, 0, 0}};
    for (const auto& c : cases) {
        Mouse = POINT{7, 7};
        EXPECT_EQ(SendMessageA(DisplayWindow, WM_MOUSEMOVE, MK_LBUTTON, c.lParam), 0);
        EXPECT_EQ(Mouse.x, c.x);
        EXPECT_EQ(Mouse.y, c.y);
    }
    Mouse = POINT{7, 7};
    SendMessageA(DisplayWindow, WM_LBUTTONDOWN, 0, MAKELPARAM(3, 4));
    EXPECT_EQ(Mouse.x, 7) << "only mouse moves are recorded";
    EXPECT_EQ(SendMessageA(DisplayWindow, WM_GETTEXTLENGTH, 0, 0), LRESULT(strlen("Stock display window")));
    SendMessageA(DisplayWindow, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(DisplayWindow)) << "the default handling closes the window";
}

TEST_F(ChartWindow, DisplayCopiesTheComposedFrameIntoTheWindow)
{
    SetStocks({{"IBM", {20, 22, 21, 25, 24}}, {"MSFT", {}}, {"AAPL", {3, 4, 5}}});
    const SIZE size = ClientSize();
    ASSERT_GT(size.cx, 200);
    MoveMouse(200, 50);
    Display();

    Frame shown(size.cx, size.cy);
    const HDC window = GetDC(DisplayWindow);
    BitBlt(shown.dc(), 0, 0, size.cx, size.cy, window, 0, 0, SRCCOPY);
    ReleaseDC(DisplayWindow, window);

    TickNumber = 1000;
    Frame composed(size.cx, size.cy);
    char title[1000];
    ASSERT_TRUE(DrawFrame(composed.dc(), size.cx, size.cy, 200, title));
    EXPECT_EQ(shown.FirstDifference(composed), "");
    EXPECT_EQ(Title(DisplayWindow), title);
    EXPECT_GT(shown.Count(Red, 101, 0, size.cx, size.cy), 0);
}

TEST_F(ChartWindow, TitleFollowsTheCursorOverTicksAndStaysWhenItLeaves)
{
    // 5 ticks across the client area: s = (width - 100) / 4.
    SetStocks({{"IBM", {20.5f, 22.25f, 21, 25.75f, 24}}});
    const SIZE size = ClientSize();
    const double s = (size.cx - 100) / 4.0;
    const struct {
        int mouseX;
        const char* title;
    } steps[] = {
        {static_cast<int>(100 + s), "Stock display window - 22.250000"},
        {static_cast<int>(100 + 3 * s) + 2, "Stock display window - 25.750000"},
        {static_cast<int>(100 - s / 2) - 1, "Stock display window - 25.750000"},  // left of every tick: unchanged
        {101, "Stock display window - 20.500000"},
        {static_cast<int>(100 + 4 * s) - 1, "Stock display window - 24.000000"},
    };
    EXPECT_EQ(Title(DisplayWindow), "Stock display window");
    for (const auto& step : steps) {
        MoveMouse(step.mouseX, 100);
        Display();
        EXPECT_EQ(Title(DisplayWindow), step.title) << "cursor at " << step.mouseX;
    }
}

TEST_F(ChartWindow, HiddenOrClosedWindowIsNotDrawn)
{
    SetStocks({{"IBM", {1, 2, 3}}});
    MoveMouse(101, 10);
    ShowWindow(DisplayWindow, SW_HIDE);
    Display();
    EXPECT_EQ(TickNumber, 1000) << "nothing was drawn";
    EXPECT_EQ(Title(DisplayWindow), "Stock display window");

    ShowWindow(DisplayWindow, SW_SHOWNORMAL);
    DestroyWindow(DisplayWindow);
    Display();
    EXPECT_EQ(TickNumber, 1000);

    OpenChartWindow();
    Display();
    EXPECT_EQ(TickNumber, 3) << "a reopened window is drawn";
    EXPECT_EQ(Title(DisplayWindow), "Stock display window - 1.000000") << "the cursor position outlives the window";
}

TEST_F(ChartWindow, MinimisedWindowIsDrawnOnAnEmptyClientArea)
{
    SetStocks({{"IBM", {1, 2, 3}}});
    ShowWindow(DisplayWindow, SW_MINIMIZE);
    PumpAll();
    ASSERT_TRUE(IsWindowVisible(DisplayWindow));
    const SIZE size = ClientSize();
    EXPECT_EQ(size.cx * size.cy, 0);
    Display();
    EXPECT_EQ(TickNumber, 3) << "the frame ran";
    const DWORD before = GdiObjectCount(GetCurrentProcess());
    for (int i = 0; i < 50; ++i) Display();
    EXPECT_EQ(GdiObjectCount(GetCurrentProcess()), before);
}

TEST_F(ChartWindow, FramesGiveBackEveryGdiObjectAndHandle)
{
    std::vector<float> ticks;
    for (int i = 0; i < 2000; ++i) ticks.push_back(static_cast<float>(i % 37));
    SetStocks({{"IBM", ticks}, {"MSFT", {1, 2, 3}}});
    MoveMouse(300, 100);
    for (int i = 0; i < 5; ++i) Display();  // the first frames may load fonts for good
    const DWORD gdi = GdiObjectCount(GetCurrentProcess());
    const DWORD handles = KernelHandleCount(GetCurrentProcess());
    ASSERT_GT(gdi, 0u);
    ASSERT_GT(handles, 0u);
    for (int i = 0; i < 300; ++i) {
        MoveMouse(100 + i, 100);
        Display();
    }
    EXPECT_EQ(GdiObjectCount(GetCurrentProcess()), gdi);
    EXPECT_EQ(KernelHandleCount(GetCurrentProcess()), handles);

    // The count does see one object that a frame would leak.
    const DWORD before = GdiObjectCount(GetCurrentProcess());
    const HPEN leaked = CreatePen(PS_SOLID, 2, Red);
    EXPECT_EQ(GdiObjectCount(GetCurrentProcess()), before + 1);
    DeleteObject(leaked);
}

// ---- The arrow keys, through real keyboard input ---------------------------

void SendKey(WORD key, bool down)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    ASSERT_EQ(SendInput(1, &input, sizeof input), 1u);
}

// Presses a key and waits until the key state shows it down. Wine brings its
// key state in line with the X server's when the X focus moves, which can
// undo a press sent just before; such a press is sent again.
void PressKey(WORD key)
{
    for (int attempt = 0; attempt < 10; ++attempt) {
        SendKey(key, true);
        if (WaitFor([&] { return (GetAsyncKeyState(key) & 0x8000) != 0; }, 500)) return;
    }
    FAIL() << "key " << key << " never showed as down";
}

// Lets a key go and waits until the key state shows it up, its
// pressed-since-the-last-query bit read away as well.
void ReleaseKey(WORD key)
{
    SendKey(key, false);
    ASSERT_TRUE(WaitFor([&] { return GetAsyncKeyState(key) == 0; }, 5000));
}

// Gives a window of this thread the keyboard focus, and lets the X server's
// focus events that follow arrive.
void Focus(HWND window)
{
    SetForegroundWindow(window);
    SetFocus(window);
    ASSERT_TRUE(WaitFor([&] { return GetFocus() == window; }, 5000));
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 300) {
        PumpAll();
        Sleep(10);
        if (GetFocus() != window) {
            SetForegroundWindow(window);
            SetFocus(window);
        }
    }
}

// Holds the keys down while one frame is drawn, with the focus on the given
// window, then lets them go. Wine reads the X server's events inside
// GetAsyncKeyState, and a late focus event can release a key or move the
// focus in the middle of the frame; the frame is then drawn again from the
// same selection.
void DisplayWithKeysDown(const std::vector<WORD>& keys, HWND focus)
{
    const int32_t from = FileIndex;
    for (int attempt = 0; attempt < 5; ++attempt) {
        FileIndex = from;
        for (WORD key : keys) PressKey(key);
        Display();
        bool held = GetFocus() == focus;
        for (WORD key : keys) held = held && (GetAsyncKeyState(key) & 0x8000) != 0;
        for (WORD key : keys) ReleaseKey(key);
        PumpAll();
        if (held) return;
        Focus(focus);
    }
    ADD_FAILURE() << "no frame was drawn with the keys held and the focus kept";
}

class ChartKeys : public ChartWindow {
protected:
    void SetUp() override
    {
        ChartWindow::SetUp();
        Focus(DisplayWindow);
    }
};

TEST_F(ChartKeys, UpMovesOntoAnyStockAndDownOnlyOntoOneWithTicks)
{
    const std::vector<WORD> Up{VK_UP}, Down{VK_DOWN}, Both{VK_UP, VK_DOWN}, None{};
    // Ticks per stock: 0: 3, 1: none, 2: 5, 3: none, 4: 2 - and one more
    // stock's record beyond the list, which Down must not reach.
    const struct {
        int from;
        std::vector<WORD> keys;
        int to;
    } cases[] = {
        {2, Up, 1},    // onto a stock with no ticks
        {1, Up, 0},
        {0, Up, 0},    // the first: no further
        {0, Down, 0},  // the next has no ticks
        {1, Down, 2},
        {3, Down, 4},  // two ticks are enough to move onto
        {4, Down, 4},  // the last: no further, whatever lies beyond
        {2, Both, 2},  // up to 1, then down again to 2
        {4, Both, 4},  // up to 3, then down again to 4
        {1, Both, 0},  // up to 0, and the next has no ticks
        {2, None, 2},
    };
    for (const auto& c : cases) {
        SetStocks({{"IBM", {1, 2, 3}}, {"MSFT", {}}, {"AAPL", {1, 2, 3, 4, 5}}, {"GE", {}}, {"KO", {1, 2}}});
        StockFile[5].FileSize = 9;
        FileIndex = c.from;
        DisplayWithKeysDown(c.keys, DisplayWindow);
        EXPECT_EQ(FileIndex, c.to) << "from " << c.from << " with " << c.keys.size() << " keys";
    }
}

TEST_F(ChartKeys, AHeldKeyMovesOneSymbolPerFrame)
{
    SetStocks({{"A", {1, 2, 3}}, {"B", {1}}, {"C", {1}}, {"D", {1}}});
    std::vector<int> path;
    for (int attempt = 0; attempt < 5 && path != std::vector<int>{1, 2, 3, 3, 3}; ++attempt) {
        FileIndex = 0;
        path.clear();
        PressKey(VK_DOWN);
        for (int i = 0; i < 5; ++i) {
            Display();
            path.push_back(FileIndex);
        }
        const bool held = (GetAsyncKeyState(VK_DOWN) & 0x8000) != 0 && GetFocus() == DisplayWindow;
        ReleaseKey(VK_DOWN);
        if (held) break;  // else a late focus event let the key go: again
        Focus(DisplayWindow);
    }
    EXPECT_EQ(path, (std::vector<int>{1, 2, 3, 3, 3}));
}

TEST_F(ChartKeys, KeysAreIgnoredWithoutTheFocusWhileDrawingGoesOn)
{
    SetStocks({{"IBM", {1, 2, 3}}, {"MSFT", {4, 5, 6}}});
    FileIndex = 1;
    const HWND other = CreateWindowExA(0, ClassName, "elsewhere", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                       nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    Focus(other);
    MoveMouse(101, 10);
    DisplayWithKeysDown({VK_UP}, other);
    EXPECT_EQ(FileIndex, 1);
    EXPECT_EQ(Title(DisplayWindow), "Stock display window - 4.000000");
    EXPECT_EQ(TickNumber, 3);

    Focus(DisplayWindow);
    DisplayWithKeysDown({VK_UP}, DisplayWindow);
    EXPECT_EQ(FileIndex, 0) << "and followed again with it";
    DestroyWindow(other);
}

}  // namespace
