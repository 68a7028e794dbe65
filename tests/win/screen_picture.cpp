#include "screen_picture.h"

#include <algorithm>
#include <string>

// The GDI+ headers use min and max unqualified; with NOMINMAX, as the
// project builds, they find the standard ones here.
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

ScreenPicture::ScreenPicture(const RECT& area)
    : width_(std::max(0, static_cast<int>(area.right - area.left))),
      height_(std::max(0, static_cast<int>(area.bottom - area.top)))
{
    pixels_.resize(static_cast<size_t>(width_) * height_);
    if (pixels_.empty()) return;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    if (bitmap && BitBlt(memory, 0, 0, width_, height_, screen, area.left, area.top, SRCCOPY)) {
        GdiFlush();
        const DWORD* source = static_cast<const DWORD*>(bits);
        std::transform(source, source + pixels_.size(), pixels_.begin(), [](DWORD p) { return p & 0xFFFFFF; });
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

COLORREF ScreenPicture::At(int x, int y) const
{
    const DWORD p = pixels_[static_cast<size_t>(y) * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

namespace {

bool PngEncoder(CLSID* clsid)
{
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return false;
    std::vector<BYTE> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, encoders) != Gdiplus::Ok) return false;
    for (UINT i = 0; i < count; ++i)
        if (std::wstring(encoders[i].MimeType) == L"image/png") {
            *clsid = encoders[i].Clsid;
            return true;
        }
    return false;
}

}  // namespace

bool ScreenPicture::SavePng(const std::filesystem::path& file) const
{
    if (pixels_.empty()) return false;
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return false;
    bool saved = false;
    {
        CLSID png;
        std::vector<DWORD> rows = pixels_;
        Gdiplus::Bitmap bitmap(width_, height_, width_ * 4, PixelFormat32bppRGB, reinterpret_cast<BYTE*>(rows.data()));
        saved = PngEncoder(&png) && bitmap.Save(file.wstring().c_str(), &png, nullptr) == Gdiplus::Ok;
    }
    Gdiplus::GdiplusShutdown(token);
    return saved;
}

RECT ClientOnScreen(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    POINT corner = {0, 0};
    ClientToScreen(window, &corner);
    OffsetRect(&client, corner.x, corner.y);
    return client;
}

RECT Union(const RECT& a, const RECT& b)
{
    RECT both;
    UnionRect(&both, &a, &b);
    return both;
}
