// Drives the real program, and the straightforward loop beside it, into the
// states whose processor share scripts/bench.sh measures from /proc:
//   idle  - streaming off, the control dialog open;
//   chart - the chart window open on a series of 100000 ticks, TickNumber
//           100000, the cursor over the line, streaming stopped;
//   cycle - a download cycle waiting for its script, whose downloads the
//           quote service answers slowly; the chart window closed.
// For each state it prints "STATE n name program", creates the file ready-n
// in its working folder and waits for done-n, which the script creates once
// it has measured. Each state's set-up is checked; the exit code says whether
// every check held.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "../res/resource.h"
#include "win/program.h"
#include "win/quote_service.h"

namespace fs = std::filesystem;

namespace {

const fs::path Control = fs::current_path();
int State = 0;
bool AllHeld = true;

void Check(bool held, const char* what)
{
    if (held) return;
    fprintf(stderr, "idle_bench: %s\n", what);
    AllHeld = false;
}

// Hands the state to the script and waits until it has been measured.
void Measure(const char* name, const char* program)
{
    ++State;
    printf("STATE %d %s %s\n", State, name, program);
    fflush(stdout);
    WriteFile(Control / ("ready-" + std::to_string(State)), "");
    Check(WaitFor([] { return fs::exists(Control / ("done-" + std::to_string(State))); }, 300000),
          "the measurement never ended");
}

std::string ManyTicks()
{
    std::string text;
    uint32_t noise = 7;
    int cents = 10000;
    for (int i = 0; i < 100000; ++i) {
        noise = noise * 1664525u + 1013904223u;
        cents += static_cast<int>(noise >> 29) - 3;
        text += "t," + std::to_string(cents / 100) + "." + std::to_string(cents % 100 / 10) +
                std::to_string(cents % 10) + " ";
    }
    return text;
}

void Idle(const fs::path& exe, const char* name)
{
    WorkingFolder folder("IBM\r\n");
    Program program(folder.path(), exe);
    Check(program.Dialog() != nullptr, "no dialog");
    Sleep(3000);
    Measure("idle", name);
}

void Chart(const fs::path& exe, const char* name)
{
    std::string symbols = "S00", replies = "S00 garbage " + ManyTicks() + "\r\n";
    for (int i = 1; i < 20; ++i) {
        char symbol[8];
        snprintf(symbol, sizeof symbol, "S%02d", i);
        symbols += std::string(" ") + symbol;
        replies += std::string(symbol) + " 12.5\r\n";
    }
    WorkingFolder folder(symbols + "\r\n");
    Program program(folder.path(), exe);
    Check(program.Dialog() != nullptr, "no dialog");
    {
        QuoteService service(folder.path(), replies);
        Check(service.ok(), "no quote service");
        program.SetItemText(IDC_TICKS, "100000");
        StartStreaming(program);
        Check(service.WaitForRequests(20, 120000), "the downloads never came");
        program.Press(IDC_STOP);
    }
    program.Press(IDC_DISPLAY);
    const HWND chart = program.WaitForWindow("Stock Market", nullptr);
    Check(chart != nullptr, "no chart window");
    // The cursor over the middle of the line; the title then shows a price
    // once the cycle has loaded the series.
    RECT client;
    GetClientRect(chart, &client);
    Check(WaitFor(
              [&] {
                  PostMessageA(chart, WM_MOUSEMOVE, 0, MAKELPARAM((100 + client.right) / 2, client.bottom / 2));
                  return WindowText(chart).rfind("Stock display window - ", 0) == 0;
              },
              60000),
          "the chart never showed a price");
    Sleep(2000);
    Measure("chart", name);

    program.Press(IDC_OUTPUT);
    const std::string exported = folder.Read("Stocks\\S00.txt");
    size_t lines = 0;
    for (char c : exported) lines += c == '\n';
    Check(lines == 100000, "the chart's series did not hold 100000 ticks");
}

void Cycle(const fs::path& exe, const char* name)
{
    std::string symbols, replies;
    // Each reply comes after 4 s, within the downloader's 5-s wait for data:
    // the script runs for about 50 s.
    for (int i = 0; i < 12; ++i) {
        const std::string symbol = "D" + std::to_string(i);
        symbols += symbol + " ";
        replies += symbol + " delay 4000 12.5\r\n";
    }
    WorkingFolder folder(symbols + "\r\n");
    Program program(folder.path(), exe);
    Check(program.Dialog() != nullptr, "no dialog");
    QuoteService service(folder.path(), replies);
    Check(service.ok(), "no quote service");
    StartStreaming(program);
    Check(service.WaitForRequests(1, 60000), "the cycle never began");
    program.Press(IDC_STOP);
    Measure("cycle", name);
    Check(!service.WaitForRequests(12, 0), "the cycle ended while it was measured");
}

}  // namespace

int main()
{
    const fs::path ours = BinDir() / "Quorvane.exe";
    const fs::path straight = BinDir() / "straight_loop.exe";
    Idle(straight, "straightforward");
    Idle(ours, "ours");
    Chart(straight, "straightforward");
    Chart(ours, "ours");
    Cycle(straight, "straightforward");
    Cycle(ours, "ours");
    return AllHeld ? 0 : 1;
}
