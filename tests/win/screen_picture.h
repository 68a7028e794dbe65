// What the screen shows, read back through the screen's device context, and
// saved as a PNG picture.
#pragma once

#include <windows.h>

#include <filesystem>
#include <vector>

class ScreenPicture {
public:
    // Copies the screen rectangle area (screen coordinates).
    explicit ScreenPicture(const RECT& area);

    int width() const { return width_; }
    int height() const { return height_; }
    // The colour at (x, y) of the picture, as a COLORREF.
    COLORREF At(int x, int y) const;
    // Saves the picture in PNG format; false when it could not be written.
    bool SavePng(const std::filesystem::path& file) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<DWORD> pixels_;  // top-down rows of 0x00RRGGBB
};

// The client area of a window, in screen coordinates.
RECT ClientOnScreen(HWND window);

// The smallest rectangle that holds both.
RECT Union(const RECT& a, const RECT& b);
