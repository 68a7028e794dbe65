// The chart window: the symbol list and the selected stock's series.
#pragma once

#include <windows.h>

// The class record that start-up registers for the chart window.
WNDCLASSEXA ChartWindowClass();

// Creates the chart window, stores it in DisplayWindow and shows it.
void OpenChartWindow();

LRESULT CALLBACK DisplayWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Draws one frame into the chart window, if it is visible, after moving the
// selection by the arrow keys while the window has the keyboard focus.
void Display();

// The arrow keys: Up selects the previous symbol, Down the next one if that
// stock holds a tick; each key is read only when its move is possible.
void MoveSelection();

// Composes one frame of width x height pixels into dc, from the shared state,
// with the cursor at mouseX: the two panels, the symbol list and the selected
// stock's series. Lowers TickNumber to that series' length when it is larger.
// Returns true, with the window's new title in title, when the cursor is over
// a plotted tick; the title is the price of the last such tick.
bool DrawFrame(HDC dc, int width, int height, int mouseX, char (&title)[1000]);
