// The chart frame drawn the straightforward way, as the chart was first
// written: every symbol of the list, every tick's position, and one
// MoveToEx/LineTo per segment of the series (DrawSegments). The frames of
// DrawFrame must equal these pixel for pixel; the benchmark times both.
#pragma once

#include <windows.h>

// Same arguments, same shared state read and written, same result as DrawFrame.
bool DrawStraightFrame(HDC dc, int width, int height, int mouseX, char (&title)[1000]);

// Display with the straightforward frame: the keys, then the frame composed
// off-screen and copied to the chart window, if it is visible.
void DisplayStraight();
