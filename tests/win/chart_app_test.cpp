// The chart window of the real program while it streams from the scripted
// quote service: the price under the cursor in the title, frames that give
// back every GDI object and handle they take, and a picture of both windows.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../../res/resource.h"
#include "program.h"
#include "quote_service.h"
#include "win/process_counts.h"
#include "win/screen_picture.h"

namespace {

const char* const TitlePrefix = "Stock display window - ";

std::string PriceTitle(double price)
{
    char text[100];
    snprintf(text, sizeof text, "%s%f", TitlePrefix, price);
    return text;
}

// The script of one symbol's replies, a price each.
std::string Replies(const std::string& symbol, const std::vector<double>& prices)
{
    std::string script;
    for (double price : prices) {
        char line[100];
        snprintf(line, sizeof line, "%s %.3f\r\n", symbol.c_str(), price);
        script += line;
    }
    return script;
}

SIZE ClientSize(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    return SIZE{client.right, client.bottom};
}

// As the cursor moving over the chart's client area.
void MoveCursor(HWND chart, int x, int y)
{
    PostMessageA(chart, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
}

// The x of tick k of n across the plot panel, to within a pixel.
int TickX(HWND chart, int k, int n)
{
    return 100 + (ClientSize(chart).cx - 100) * k / (n - 1);
}

// True once the service has turned down a request for the symbol: its
// scripted replies are used up, and the cycle before has loaded the last.
// Other programs on this machine may ask the same port for their own symbols,
// so only this symbol's requests count.
bool WaitForRepliesUsedUp(const QuoteService& service, const std::string& symbol, DWORD timeoutMs)
{
    const std::string refused = "404 /d/quotes.csv " + symbol + "=none";
    return WaitFor(
        [&] {
            for (const std::string& line : service.Log())
                if (Request(line) == refused) return true;
            return false;
        },
        timeoutMs);
}

// The program with its chart open, streaming every second from the script.
struct StreamingChart {
    StreamingChart(const std::string& stockList, const std::string& replies)
        : folder(stockList), service(folder.path(), replies), program(folder.path())
    {
        if (!service.ok() || !program.Dialog()) return;
        program.Press(IDC_DISPLAY);
        chart = program.WaitForWindow("Stock Market", "Stock display window");
        if (chart) StartStreaming(program);
    }
    WorkingFolder folder;
    QuoteService service;
    Program program;
    HWND chart = nullptr;
};

TEST(ChartApp, TitleShowsThePriceOfTheStreamedTickUnderTheCursor)
{
    // ACME, the selected stock, gets twelve prices and then no more.
    const std::vector<double> acme = {101.25, 102.5, 101.75, 103.25, 104.5, 103.75,
                                      105.25, 106.0, 104.875, 106.5, 107.75, 107.125};
    StreamingChart run("ACME GLOBEX\r\nINITECH\r\n",
                       Replies("ACME", acme) + Replies("GLOBEX", {250.125, 251.5}) + Replies("INITECH", {12.5}));
    ASSERT_NE(run.chart, nullptr);
    ASSERT_TRUE(WaitForRepliesUsedUp(run.service, "ACME", 180000)) << run.service.Log().size() << " requests";
    const int n = static_cast<int>(acme.size());
    const int y = ClientSize(run.chart).cy / 2;

    for (int k : {0, 3, 11, 5, 1}) {
        MoveCursor(run.chart, TickX(run.chart, k, n), y);
        EXPECT_TRUE(WaitFor([&] { return WindowText(run.chart) == PriceTitle(acme[k]); }, 5000))
            << "tick " << k << ": " << WindowText(run.chart);
    }
    // Off every tick's interval, over the symbol panel: the title stays.
    MoveCursor(run.chart, 10, y);
    Sleep(500);
    EXPECT_EQ(WindowText(run.chart), PriceTitle(acme[1]));

    // A picture of both windows, the cursor over a dip near the end.
    MoveCursor(run.chart, TickX(run.chart, 8, n), y);
    ASSERT_TRUE(WaitFor([&] { return WindowText(run.chart) == PriceTitle(acme[8]); }, 5000));
    // Both windows side by side, below where other programs' windows open.
    RECT dialog, chart;
    SetWindowPos(run.program.Dialog(), HWND_TOP, 40, 520, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitFor([&] { GetWindowRect(run.program.Dialog(), &dialog); return dialog.top == 520; }, 5000));
    SetWindowPos(run.chart, HWND_TOP, dialog.right + 8, 520, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitFor([&] { GetWindowRect(run.chart, &chart); return chart.left == dialog.right + 8; }, 5000));
    // The frame on the screen: the outlined panels (the line starts on the
    // plot panel's left edge), ACME in red at half height and nowhere else
    // in the symbol panel, the series in red. Another program's window may
    // cover it for a moment: the screen is read again until it shows.
    std::string seen;
    auto showsTheFrame = [&] {
        const ScreenPicture client(ClientOnScreen(run.chart));
        const int top = client.height() / 2 + 1;
        int left = 0, divide = 0, symbol = 0, elsewhere = 0, series = 0;
        for (int py = 0; py < client.height(); ++py) {
            left += client.At(0, py) == RGB(0, 0, 0);
            divide += client.At(100, py) == RGB(0, 0, 0);
            for (int px = 1; px < 99; ++px)
                (py >= top && py < top + 16 ? symbol : elsewhere) += client.At(px, py) == RGB(255, 0, 0);
            for (int px = 101; px < client.width(); ++px) series += client.At(px, py) == RGB(255, 0, 0);
        }
        seen = "left edge " + std::to_string(left) + " of " + std::to_string(client.height()) + " rows, divide " +
               std::to_string(divide) + ", red symbol " + std::to_string(symbol) + ", red elsewhere " +
               std::to_string(elsewhere) + ", red series " + std::to_string(series);
        return left == client.height() && divide >= client.height() - 3 && symbol > 10 && elsewhere == 0 &&
               series > 100;
    };
    EXPECT_TRUE(WaitFor(showsTheFrame, 10000)) << seen;
    const std::filesystem::path artifacts = BinDir().parent_path() / "artifacts";
    std::filesystem::create_directories(artifacts);
    EXPECT_TRUE(ScreenPicture(Union(dialog, chart)).SavePng(artifacts / "chart.png"));
}

TEST(ChartApp, HundredsOfFramesTakeNoGdiObjectOrHandleForGood)
{
    StreamingChart run("ACME\r\n", Replies("ACME", {20.5, 22.25, 21.0}));
    ASSERT_NE(run.chart, nullptr);
    ASSERT_TRUE(WaitForRepliesUsedUp(run.service, "ACME", 120000)) << run.service.Log().size() << " requests";
    // Streaming stops; a cycle under way runs to its end, after which no
    // request comes for some seconds.
    run.program.Press(IDC_STOP);
    auto requests = [&] {
        size_t count = 0;
        for (const std::string& line : run.service.Log()) count += line.find("ACME=") != std::string::npos;
        return count;
    };
    for (size_t seen = requests();; seen = requests()) {
        Sleep(3000);
        if (requests() == seen) break;
    }

    // The cursor goes back and forth between the first and the last tick;
    // each move shows in the title only once a frame has been drawn, so 200
    // moves take 200 frames at least, and about twice that many are drawn.
    const int y = ClientSize(run.chart).cy / 2;
    auto swing = [&](int times) {
        for (int i = 0; i < times; ++i) {
            const bool first = i % 2 == 0;
            MoveCursor(run.chart, TickX(run.chart, first ? 0 : 2, 3), y);
            const std::string want = PriceTitle(first ? 20.5 : 21.0);
            if (!WaitFor([&] { return WindowText(run.chart) == want; }, 5000)) return false;
            Sleep(60);
        }
        return true;
    };
    ASSERT_TRUE(swing(10));
    const DWORD gdi = GdiObjectCount(run.program.process());
    const DWORD handles = KernelHandleCount(run.program.process());
    ASSERT_GT(gdi, 0u);
    ASSERT_GT(handles, 0u);
    ASSERT_TRUE(swing(200));
    EXPECT_EQ(GdiObjectCount(run.program.process()), gdi);
    EXPECT_EQ(KernelHandleCount(run.program.process()), handles);
}

}  // namespace
