#include "support/straight_frame.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/stock_table.h"
#include "ui/chart_geometry.h"
#include "ui/chart_window.h"

namespace {

constexpr COLORREF Black = 0;
constexpr COLORREF Red = 255;

// The series as one segment per pair of neighbouring ticks, drawn with the
// pen selected into dc: tick i at (x[i], the y of values[i]). A single tick
// is drawn as a point, a segment of length zero.
void DrawSegments(HDC dc, const int* x, const float* values, int count, int height)
{
    if (count == 1) {
        const int y = ValueY(height, values[0]);
        MoveToEx(dc, x[0], y, nullptr);
        LineTo(dc, x[0], y);
        return;
    }
    for (int i = 0; i + 1 < count; ++i) {
        MoveToEx(dc, x[i], ValueY(height, values[i]), nullptr);
        LineTo(dc, x[i + 1], ValueY(height, values[i + 1]));
    }
}

int ListedStocks()
{
    return std::clamp(FileNumber, 0, MaxStockFiles);
}

int SelectedStock()
{
    return std::clamp(FileIndex, 0, std::max(ListedStocks() - 1, 0));
}

int SeriesLength(int stock)
{
    if (stock < 0 || stock >= MaxStockFiles) return 0;
    return std::clamp(StockFile[stock].FileSize, 0, MaxTicks);
}

void DrawSymbol(HDC dc, int y, int stock)
{
    TextOutA(dc, 1, y, FileName[stock], static_cast<int>(strnlen(FileName[stock], SymbolSlotSize)));
}

bool DrawSeries(HDC dc, int width, int height, int mouseX, int stock, char (&title)[1000])
{
    static int x[MaxTicks];

    const int fileSize = SeriesLength(stock);
    if (fileSize <= 2) return false;
    const float* StockValues = StockFile[stock].StockValues;
    const int count = PlottedTicks(fileSize, TickNumber);
    const int h = fileSize - count;
    if (fileSize < TickNumber) TickNumber = fileSize;

    std::copy(StockValues + h, StockValues + fileSize, AveragedStock);
    NormaliseSeries(AveragedStock, count);

    const HPEN pen = CreatePen(PS_SOLID, 2, Red);
    const HGDIOBJ oldPen = SelectObject(dc, pen);
    const TickLayout layout = LayOutTicks(width, count);
    for (int i = 0; i < count; ++i) x[i] = TickX(layout, i);
    DrawSegments(dc, x, AveragedStock, count, height);

    bool hovered = false;
    for (int i = 0; i < count; ++i) {
        if (!CursorOverTick(layout, x[i], mouseX)) continue;
        const int y = ValueY(height, AveragedStock[i]);
        Rectangle(dc, x[i] - 5, y - 5, x[i] + 5, y + 5);
        snprintf(title, sizeof title, "Stock display window - %f", static_cast<double>(StockValues[h + i]));
        hovered = true;
    }

    SelectObject(dc, oldPen);
    DeleteObject(pen);
    return hovered;
}

}  // namespace

bool DrawStraightFrame(HDC dc, int width, int height, int mouseX, char (&title)[1000])
{
    Rectangle(dc, 0, 0, SymbolPanelWidth, height);
    Rectangle(dc, SymbolPanelWidth, 0, width, height);
    const int selected = SelectedStock();
    for (int i = 0; i < ListedStocks(); ++i) {
        SetTextColor(dc, Black);
        DrawSymbol(dc, SymbolTop(height, i, selected), i);
    }
    SetTextColor(dc, Red);
    DrawSymbol(dc, SymbolTop(height, selected, selected), selected);
    return DrawSeries(dc, width, height, mouseX, selected, title);
}

void DisplayStraight()
{
    if (GetFocus() == DisplayWindow && IsWindowVisible(DisplayWindow)) MoveSelection();
    if (!IsWindowVisible(DisplayWindow)) return;

    RECT WindowRect;
    GetClientRect(DisplayWindow, &WindowRect);
    const int width = WindowRect.right;
    const int height = WindowRect.bottom;
    const HDC WindowDC = GetDC(DisplayWindow);
    const HDC TempDC = CreateCompatibleDC(WindowDC);
    const HBITMAP ScreenBitmap = CreateCompatibleBitmap(WindowDC, width, height);
    const HGDIOBJ OldScreenBitmap = SelectObject(TempDC, ScreenBitmap);

    char buffer[1000];
    if (DrawStraightFrame(TempDC, width, height, Mouse.x, buffer)) SetWindowTextA(DisplayWindow, buffer);

    BitBlt(WindowDC, 0, 0, width, height, TempDC, 0, 0, SRCCOPY);
    SelectObject(TempDC, OldScreenBitmap);
    DeleteObject(ScreenBitmap);
    DeleteDC(TempDC);
    ReleaseDC(DisplayWindow, WindowDC);
}
