#include "chart_window.h"

#include "../core/stock_table.h"

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

void Display()
{
}
