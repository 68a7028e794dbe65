// The soak: the real program streams 20 symbols from the simulated market at
// interval 0 with the chart open, for QUORVANE_SOAK_MINUTES minutes (10 by
// default). Its kernel handles, GDI objects and memory must stay flat, and
// every exported series must equal the prices that the service's log says it
// answered, in order. Run by scripts/soak.sh, which prints the figures.
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../../res/resource.h"
#include "process_counts.h"
#include "program.h"
#include "quote_service.h"

namespace {

constexpr int Symbols = 20;

// Wine leaves the private bytes of another process at 0; its committed
// memory (the page file usage) and its working set are filled in.
struct Counts {
    DWORD handles;
    DWORD gdiObjects;
    SIZE_T committedBytes;
    SIZE_T workingSetBytes;
};

Counts Sample(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process, &memory, sizeof memory);
    return {KernelHandleCount(process), GdiObjectCount(process), memory.PagefileUsage, memory.WorkingSetSize};
}

void Print(const char* when, double seconds, const Counts& counts)
{
    printf("soak: %-6s %6.1f s  handles %lu  GDI objects %lu  committed %llu KiB  working set %llu KiB\n", when,
           seconds, static_cast<unsigned long>(counts.handles), static_cast<unsigned long>(counts.gdiObjects),
           static_cast<unsigned long long>(counts.committedBytes / 1024),
           static_cast<unsigned long long>(counts.workingSetBytes / 1024));
    fflush(stdout);
}

// The export's line for a price the service answered as text: the float of
// the text, widened to double, "%f".
std::string ExportLine(const std::string& text)
{
    char line[64];
    snprintf(line, sizeof line, "%f\r\n", static_cast<double>(strtof(text.c_str(), nullptr)));
    return line;
}

// Each symbol's export text as the service's log predicts it: its answered
// prices, newest first. Only requests with status 200 delivered a price.
std::map<std::string, std::string> ExpectedExports(const std::vector<std::string>& log)
{
    std::map<std::string, std::string> expected;
    for (const std::string& line : log) {
        const std::string request = Request(line);
        if (request.compare(0, 4, "200 ") != 0) continue;
        const size_t pair = request.rfind(' ') + 1;
        const size_t equals = request.find('=', pair);
        const std::string symbol = request.substr(pair, equals - pair);
        expected[symbol] = ExportLine(request.substr(equals + 1)) + expected[symbol];
    }
    return expected;
}

TEST(Soak, HandlesGdiAndMemoryStayFlatAndEveryAnsweredPriceIsExported)
{
    const char* setting = getenv("QUORVANE_SOAK_MINUTES");
    const double minutes = setting ? atof(setting) : 10.0;
    ASSERT_GT(minutes, 0.0) << "QUORVANE_SOAK_MINUTES=" << setting;

    std::vector<std::string> symbols;
    std::string list;
    for (int n = 1; n <= Symbols; ++n) {
        char symbol[16];
        snprintf(symbol, sizeof symbol, "SOAK%02d", n);
        symbols.push_back(symbol);
        list += std::string(symbol) + (n % 5 == 0 ? "\r\n" : " ");
    }
    WorkingFolder folder(list);
    QuoteService service(folder.path(), SimulatedMarket{7});
    ASSERT_TRUE(service.ok());
    Program program(folder.path());
    HWND dialog = program.Dialog();
    ASSERT_NE(dialog, nullptr);
    program.Press(IDC_DISPLAY);
    HWND chart = program.WaitForWindow("Stock Market", "Stock display window");
    ASSERT_NE(chart, nullptr);
    program.SetItemText(IDC_START_HOUR, "1");
    program.SetItemText(IDC_STOP_HOUR, "24");
    program.SetItemText(IDC_FREQUENCY, "0");
    program.Press(IDC_START);

    const DWORD began = GetTickCount();
    const auto seconds = [&] { return (GetTickCount() - began) / 1000.0; };
    // Warm-up: the first two cycles make what the program keeps (the script's
    // process handle, the chart's drawing objects).
    ASSERT_TRUE(service.WaitForRequests(2 * Symbols + 1, 120000)) << service.Log().size() << " requests";
    const Counts start = Sample(program.process());
    Print("start", seconds(), start);
    ASSERT_GT(start.handles, 0u) << "the handle count is read";
    ASSERT_GT(start.gdiObjects, 0u) << "the GDI object count is read";
    ASSERT_GT(start.committedBytes, 0u) << "the memory counts are read";

    const DWORD durationMs = static_cast<DWORD>(minutes * 60000);
    const DWORD sampleEveryMs = durationMs / 5;
    DWORD longestAnswer = 0;
    DWORD nextSample = GetTickCount() + sampleEveryMs;
    while (GetTickCount() - began < durationMs) {
        char text[64];
        DWORD_PTR ignored;
        const DWORD sent = GetTickCount();
        const bool answered = SendMessageTimeoutA(dialog, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                                                  SMTO_NORMAL, 5000, &ignored) != 0;
        const DWORD took = answered ? GetTickCount() - sent : 5000;
        if (took > longestAnswer) longestAnswer = took;
        if (static_cast<LONG>(GetTickCount() - nextSample) >= 0) {
            Print("during", seconds(), Sample(program.process()));
            nextSample += sampleEveryMs;
        }
        Sleep(200);
    }
    const Counts end = Sample(program.process());
    Print("end", seconds(), end);
    ASSERT_TRUE(IsWindowVisible(chart)) << "the chart stayed open";

    // The cycle that runs when streaming stops still finishes and loads; the
    // log stays quiet once it has.
    program.Press(IDC_STOP);
    size_t requests = service.Log().size();
    ASSERT_TRUE(WaitFor(
        [&] {
            Sleep(5000);
            const size_t now = service.Log().size();
            const bool quiet = now == requests;
            requests = now;
            return quiet;
        },
        120000));
    const double streamed = seconds();
    program.Press(IDC_OUTPUT);

    const std::vector<std::string> log = service.Log();
    const std::map<std::string, std::string> expected = ExpectedExports(log);
    size_t ticks = 0;
    size_t cycles = 0;
    for (const std::string& symbol : symbols) {
        const std::string exported = folder.Read("Stocks\\" + symbol + ".txt");
        const auto found = expected.find(symbol);
        ASSERT_NE(found, expected.end()) << symbol << " was never answered";
        EXPECT_TRUE(exported == found->second)
            << symbol << ": " << exported.size() << " bytes exported, " << found->second.size() << " answered";
        size_t lines = 0;
        for (char c : exported) lines += c == '\n';
        ticks += lines;
        if (symbol == symbols.front()) cycles = lines;
    }
    printf("soak: streamed %.0f s, %zu cycles, %zu ticks, %zu requests, dialog answered within %lu ms\n", streamed,
           cycles, ticks, log.size(), static_cast<unsigned long>(longestAnswer));
    fflush(stdout);

    EXPECT_EQ(ticks, log.size()) << "every request answered a price, and each became one tick";
    EXPECT_LT(longestAnswer, 1000u) << "the dialog kept answering; launching the script blocks it briefly";
    EXPECT_LE(end.handles, start.handles + 5) << "kernel handles";
    EXPECT_LE(end.gdiObjects, start.gdiObjects + 5) << "GDI objects";
    EXPECT_LE(end.committedBytes, start.committedBytes + 4 * 1024 * 1024) << "committed memory";
    EXPECT_LE(end.workingSetBytes, start.workingSetBytes + 4 * 1024 * 1024) << "working set";
    EXPECT_EQ(program.WaitForWindow("#32770", "Error", 0), nullptr) << "no message";
}

}  // namespace
