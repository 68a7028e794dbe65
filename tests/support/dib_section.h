// A top-down 32-bit DIB section selected into a memory DC, so that a frame
// drawn into it can be read pixel by pixel. Every pixel starts as fill.
#pragma once

#include <windows.h>

#include <cstdint>

class DibSection {
public:
    DibSection(int width, int height, COLORREF fill) : width_(width), height_(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        const HBRUSH brush = CreateSolidBrush(fill);
        const RECT all = {0, 0, width, height};
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }
    ~DibSection()
    {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    DibSection(const DibSection&) = delete;
    DibSection& operator=(const DibSection&) = delete;

    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }
    bool valid() const { return bits_ != nullptr; }
    // The pixels, rows top down, each 0x00RRGGBB; drawing is flushed first.
    const uint32_t* bits() const
    {
        GdiFlush();
        return bits_;
    }

protected:
    int width_, height_;
    uint32_t* bits_ = nullptr;

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};
