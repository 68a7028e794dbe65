// The headless demo: drives a ready-to-run Quorvane folder as a user would,
// takes pictures of both windows and checks that prices arrived.
//
//   demo.exe FOLDER OUTDIR [SECONDS]
//
// FOLDER holds Quorvane.exe, wget.exe, "Stock List.txt", TempStocks and
// Stocks, and a quote service must be answering. Exit status 0 when every
// step worked.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "../../res/resource.h"
#include "program.h"

namespace {

int failures = 0;

bool Step(const char* what, bool ok)
{
    printf("%s %s\n", ok ? "ok  " : "FAIL", what);
    fflush(stdout);
    failures += !ok;
    return ok;
}

// Copies what the screen shows of a window into a 24-bit BMP file.
bool SaveWindowPicture(HWND window, const std::filesystem::path& file)
{
    RECT r;
    if (!GetWindowRect(window, &r)) return false;
    int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    bool ok = bitmap && BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    DWORD size = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof header + sizeof info.bmiHeader;
    header.bfSize = header.bfOffBits + size;
    if (ok) {
        FILE* out = _wfopen(file.wstring().c_str(), L"wb");
        ok = out && fwrite(&header, sizeof header, 1, out) == 1 &&
             fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 && fwrite(bits, size, 1, out) == 1;
        if (out) ok = fclose(out) == 0 && ok;
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

// Moves the cursor outwards from the middle of the plot until the title
// shows a price, so that the marker lands well inside the window.
std::string HoverOverTheLine(HWND chart)
{
    RECT client;
    GetClientRect(chart, &client);
    const std::string prefix = "Stock display window - ";
    const int middle = 100 + (client.right - 100) / 2;
    for (int offset = 0; offset < client.right / 2; offset += 3) {
        for (int x : {middle - offset, middle + offset}) {
            PostMessageA(chart, WM_MOUSEMOVE, 0, MAKELPARAM(x, client.bottom / 2));
            Sleep(100);
            std::string title = WindowText(chart);
            if (title.compare(0, prefix.size(), prefix) == 0) return title;
        }
    }
    return "";
}

// The number of prices in every export file, or -1 when one is missing.
int ExportedPrices(const std::filesystem::path& folder, int* files)
{
    int prices = 0;
    *files = 0;
    std::string list = ReadFile(folder / "Stock List.txt");
    char symbol[128];
    int used = 0;
    for (const char* p = list.c_str(); sscanf(p, "%127s%n", symbol, &used) == 1; p += used) {
        std::filesystem::path file = folder / "Stocks" / (std::string(symbol) + ".txt");
        if (!std::filesystem::exists(file)) return -1;
        std::string text = ReadFile(file);
        for (char c : text) prices += c == '\n';
        ++*files;
    }
    return prices;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: demo.exe FOLDER OUTDIR [SECONDS]\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1], out = argv[2];
    const int seconds = argc > 3 ? atoi(argv[3]) : 20;
    std::filesystem::create_directories(out);

    Program program(folder, folder / "Quorvane.exe");
    HWND dialog = program.Dialog();
    if (!Step("the control dialog appears", dialog != nullptr)) return 1;
    SetWindowPos(dialog, nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    program.SetItemText(IDC_START_HOUR, "1");
    program.SetItemText(IDC_STOP_HOUR, "24");
    program.SetItemText(IDC_FREQUENCY, "1");
    Step("hours 1 to 24 and an interval of 1 s are set",
         program.ItemText(IDC_START_HOUR) == "1" && program.ItemText(IDC_STOP_HOUR) == "24" &&
             program.ItemText(IDC_FREQUENCY) == "1");
    program.Press(IDC_START);
    program.Press(IDC_DISPLAY);
    HWND chart = program.WaitForWindow("Stock Market", nullptr);
    if (!Step("the chart window opens", chart != nullptr)) return 1;
    SetWindowPos(chart, nullptr, 480, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    printf("     streaming for %d s\n", seconds);
    fflush(stdout);
    Sleep(static_cast<DWORD>(seconds) * 1000);

    std::string title = HoverOverTheLine(chart);
    Step(("the cursor over the line shows a price: \"" + title + "\"").c_str(), !title.empty());

    program.Press(IDC_OUTPUT);
    int files = 0, prices = ExportedPrices(folder, &files);
    Step(("exported " + std::to_string(prices) + " prices in " + std::to_string(files) + " files").c_str(),
         prices > files && files > 0);

    Step("picture of the control dialog", SaveWindowPicture(dialog, out / "dialog.bmp"));
    Step("picture of the chart window", SaveWindowPicture(chart, out / "chart.bmp"));

    program.Close();
    DWORD code = 0;
    Step("the program closes", program.WaitForExit(30000, &code));
    return failures ? 1 : 0;
}
