#include "chart_window.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "../core/stock_table.h"
#include "chart_columns.h"
#include "chart_geometry.h"
#include "column_runs.h"

WNDCLASSEXA ChartWindowClass()
{
    WNDCLASSEXA wincl = {};
    wincl.cbSize = sizeof wincl;
    wincl.style = CS_DBLCLKS;
    wincl.lpfnWndProc = DisplayWindowProcedure;
    wincl.cbClsExtra = 0;
    wincl.cbWndExtra = 0;
    wincl.hInstance = Instance;
    wincl.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wincl.hIconSm = LoadIconA(nullptr, IDI_APPLICATION);
    wincl.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wincl.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_SCROLLBAR + 1);
    wincl.lpszMenuName = nullptr;
    wincl.lpszClassName = ClassName;
    return wincl;
}

void OpenChartWindow()
{
    DisplayWindow = CreateWindowExA(0, ClassName, "Stock display window", WS_OVERLAPPEDWINDOW,
                                    CW_USEDEFAULT, CW_USEDEFAULT, 640, 480, nullptr, nullptr,
                                    Instance, nullptr);
    ShowWindow(DisplayWindow, SW_SHOWNORMAL);
}

LRESULT CALLBACK DisplayWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_MOUSEMOVE) {
        Mouse.x = LOWORD(lParam);
        Mouse.y = HIWORD(lParam);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

namespace {

constexpr COLORREF Black = 0;
constexpr COLORREF Red = 255;

// The shared state read through bounds that the table guarantees anyway, so
// that no value of FileNumber, FileIndex or FileSize reaches past an array.
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

// Every symbol at its place; those that would be clipped away whole are skipped.
void DrawSymbolList(HDC dc, int height, int selected)
{
    const TextTops visible = VisibleTextTops(dc);
    for (int i = 0; i < ListedStocks(); ++i) {
        const int top = SymbolTop(height, i, selected);
        if (top < visible.first || top >= visible.last) continue;
        SetTextColor(dc, Black);
        DrawSymbol(dc, top, i);
    }
    SetTextColor(dc, Red);
    DrawSymbol(dc, SymbolTop(height, selected, selected), selected);
}

// The selected series, scaled to the plot, with the hover markers.
bool DrawSeries(HDC dc, int width, int height, int mouseX, int stock, char (&title)[1000])
{
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
    DrawColumns(dc, layout, AveragedStock, height);

    const TickRange hovered = HoveredTicks(layout, mouseX);
    for (int i = hovered.begin; i < hovered.end; ++i) {
        const int x = TickX(layout, i);
        const int y = ValueY(height, AveragedStock[i]);
        Rectangle(dc, x - 5, y - 5, x + 5, y + 5);
    }
    if (hovered.end > hovered.begin)
        snprintf(title, sizeof title, "Stock display window - %f",
                 static_cast<double>(StockValues[h + hovered.end - 1]));

    SelectObject(dc, oldPen);
    DeleteObject(pen);
    return hovered.end > hovered.begin;
}

// Sets the window's title unless it already reads so: a title that stays is
// not sent again to the window manager, which takes milliseconds each time.
void ShowTitle(HWND window, const char* title)
{
    char shown[1000];
    if (GetWindowTextA(window, shown, sizeof shown) > 0 && strcmp(shown, title) == 0) return;
    SetWindowTextA(window, title);
}

}  // namespace

bool DrawFrame(HDC dc, int width, int height, int mouseX, char (&title)[1000])
{
    Rectangle(dc, 0, 0, SymbolPanelWidth, height);
    Rectangle(dc, SymbolPanelWidth, 0, width, height);
    const int selected = SelectedStock();
    DrawSymbolList(dc, height, selected);
    return DrawSeries(dc, width, height, mouseX, selected, title);
}

void MoveSelection()
{
    if (FileIndex > 0 && GetAsyncKeyState(VK_UP)) --FileIndex;
    if (FileIndex < FileNumber - 1 && SeriesLength(FileIndex + 1) > 0 && GetAsyncKeyState(VK_DOWN))
        ++FileIndex;
}

void Display()
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
    if (DrawFrame(TempDC, width, height, Mouse.x, buffer)) ShowTitle(DisplayWindow, buffer);

    BitBlt(WindowDC, 0, 0, width, height, TempDC, 0, 0, SRCCOPY);
    SelectObject(TempDC, OldScreenBitmap);
    DeleteObject(ScreenBitmap);
    DeleteDC(TempDC);
    ReleaseDC(DisplayWindow, WindowDC);
}
