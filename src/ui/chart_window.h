// The chart window: the symbol list and the selected stock's series.
#pragma once

#include <windows.h>

// The class record that start-up registers for the chart window.
WNDCLASSEXA ChartWindowClass();

// Creates the chart window, stores it in DisplayWindow and shows it.
void OpenChartWindow();

LRESULT CALLBACK DisplayWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Draws one frame into the chart window, if it is visible.
void Display();
