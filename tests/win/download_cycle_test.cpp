// The download cycle in this process: small scripts stand in for "Run.bat",
// the control dialog comes from the real template, and a window of the test's
// own, pumped by the cycle's wait like every window of the thread, watches
// the script's progress and gives commands while the cycle waits.
#include <windows.h>

#include <tlhelp32.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../../res/resource.h"
#include "core/download_cycle.h"
#include "core/stock_table.h"
#include "support/temp_dir.h"
#include "ui/control_dialog.h"
#include "win/program.h"

namespace fs = std::filesystem;

namespace {

// ---- The end of the script ------------------------------------------------

HANDLE StartHidden(const std::string& commandLine)
{
    std::string command = commandLine;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &info))
        return nullptr;
    CloseHandle(info.hThread);
    return info.hProcess;
}

TEST(ScriptEnded, AsksTheProcessObjectNotTheExitStatus)
{
    EXPECT_TRUE(ScriptEnded(nullptr)) << "no process was started";
    EXPECT_TRUE(ScriptEnded(reinterpret_cast<HANDLE>(static_cast<intptr_t>(0x7ffffff0)))) << "no such handle";

    HANDLE running = StartHidden("cmd.exe /c ping -n 30 127.0.0.1 >nul");
    ASSERT_NE(running, nullptr);
    EXPECT_FALSE(ScriptEnded(running));
    TerminateProcess(running, 0);
    ASSERT_EQ(WaitForSingleObject(running, 10000), WAIT_OBJECT_0);
    EXPECT_TRUE(ScriptEnded(running));
    CloseHandle(running);

    // A script whose own exit status is STILL_ACTIVE has ended all the same.
    HANDLE exited = StartHidden("cmd.exe /c exit 259");
    ASSERT_NE(exited, nullptr);
    ASSERT_EQ(WaitForSingleObject(exited, 10000), WAIT_OBJECT_0);
    DWORD status = 0;
    GetExitCodeProcess(exited, &status);
    EXPECT_EQ(status, STILL_ACTIVE);
    EXPECT_TRUE(ScriptEnded(exited));
    CloseHandle(exited);
}

// The ids of the command interpreters that this process started and that
// still run.
std::vector<DWORD> ChildInterpreters()
{
    std::vector<DWORD> children;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (entry.th32ParentProcessID == GetCurrentProcessId() && _stricmp(entry.szExeFile, "cmd.exe") == 0)
            children.push_back(entry.th32ProcessID);
    CloseHandle(snapshot);
    return children;
}

bool CanOpenProcess(DWORD id)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (process) CloseHandle(process);
    return process != nullptr;
}

// ---- Scripts --------------------------------------------------------------

std::string QuoteLine(const std::string& symbol, const std::string& price)
{
    return "\"" + symbol + "\"," + price + ",\"12/11/2026\",\"4:00pm\",+0.50,12.00,12.90,11.80,100";
}

// A script line that writes a symbol's quote file as the downloader would.
std::string Writes(const std::string& symbol, const std::string& price)
{
    return ">TempStocks\\" + symbol + ".csv echo " + QuoteLine(symbol, price) + "\r\n";
}

std::string Marks(const std::string& name)
{
    return ">" + name + " echo " + name + "\r\n";
}

// About (count - 1) seconds.
std::string Pauses(int count)
{
    return "ping -n " + std::to_string(count) + " 127.0.0.1 >nul\r\n";
}

void WriteScript(const std::string& body)
{
    WriteFile("Run.bat", "@echo off\r\n" + body);
}

// ---- The watching window --------------------------------------------------

// Runs on a 10-ms timer of a window of this thread, and so only while a loop
// pumps the thread's messages: the cycle's wait, here.
struct Watcher {
    int timerMessages = 0;
    DWORD startedSeen = 0;  // when "started" was first seen, 0 before
    DWORD endedSeen = 0;    // the same for "ended"
    bool endedBeforeAction = false;
    std::function<void()> action;  // run once, at the first sight of "started"

    void Tick()
    {
        ++timerMessages;
        const DWORD now = GetTickCount();
        if (!startedSeen && fs::exists("started")) {
            startedSeen = now;
            endedBeforeAction = fs::exists("ended");
            if (action) action();
        }
        if (!endedSeen && fs::exists("ended")) endedSeen = now;
    }
};

Watcher* watching = nullptr;

LRESULT CALLBACK WatcherProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && watching) {
        watching->Tick();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// ---- The cycle ------------------------------------------------------------

class DownloadCycle : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directory("TempStocks");
        Instance = GetModuleHandleA(nullptr);
        OpenDialog();
        running = true;
        stream = false;
        DisplayWindow = nullptr;

        static const bool registered = [] {
            WNDCLASSEXA watcherClass = {};
            watcherClass.cbSize = sizeof watcherClass;
            watcherClass.lpfnWndProc = WatcherProcedure;
            watcherClass.hInstance = Instance;
            watcherClass.lpszClassName = "Cycle watcher";
            return RegisterClassExA(&watcherClass) != 0;
        }();
        ASSERT_TRUE(registered);
        watcherWindow = CreateWindowExA(0, "Cycle watcher", "", 0, 0, 0, 0, 0, nullptr, nullptr, Instance, nullptr);
        ASSERT_NE(watcherWindow, nullptr);
        watching = &watcher;
        SetTimer(watcherWindow, 1, 10, nullptr);
    }

    void TearDown() override
    {
        watching = nullptr;
        DestroyWindow(watcherWindow);
        DestroyWindow(DialogBoxA);
    }

    void OpenDialog()
    {
        DialogBoxA = CreateDialogParamA(Instance, MAKEINTRESOURCEA(IDD_CONTROL), nullptr, DialogProc, 0);
        ASSERT_NE(DialogBoxA, nullptr);
        SetDialogDefaults(DialogBoxA);
        ShowWindow(DialogBoxA, SW_SHOWNORMAL);
    }

    static void SetStocks(const std::vector<std::string>& symbols)
    {
        FileNumber = 0;
        for (const std::string& symbol : symbols) {
            strcpy(FileName[FileNumber], symbol.c_str());
            StockFile[FileNumber].FileSize = 0;
            ++FileNumber;
        }
    }

    static void SetSeries(int stock, const std::vector<float>& prices)
    {
        StockFile[stock].FileSize = static_cast<int32_t>(prices.size());
        std::copy(prices.begin(), prices.end(), StockFile[stock].StockValues);
    }

    static std::vector<float> Series(int stock)
    {
        const STOCKFILE& series = StockFile[stock];
        return std::vector<float>(series.StockValues, series.StockValues + series.FileSize);
    }

    // Runs one cycle; its duration in milliseconds.
    DWORD Cycle()
    {
        const DWORD start = GetTickCount();
        DownloadStocks();
        returned = GetTickCount();
        return returned - start;
    }

    TempWorkingDir dir;
    HWND watcherWindow = nullptr;
    Watcher watcher;
    DWORD returned = 0;
};

TEST_F(DownloadCycle, WithoutStocksItLaunchesTheScriptAndReturnsAtOnce)
{
    // Stock 0 has a quote file, but with FileNumber 0 there is no stock.
    SetStocks({"IBM"});
    FileNumber = 0;
    WriteFile("TempStocks\\IBM.csv", QuoteLine("IBM", "12.5"));
    WriteScript(Marks("started") + Pauses(3) + Marks("ended"));

    EXPECT_LT(Cycle(), 500u);
    EXPECT_FALSE(fs::exists("ended")) << "the cycle did not wait for the script";
    EXPECT_EQ(watcher.timerMessages, 0) << "nothing was pumped";
    EXPECT_TRUE(fs::exists("TempStocks\\IBM.csv")) << "nothing was deleted";
    EXPECT_EQ(StockFile[0].FileSize, 0) << "nothing was loaded";
    EXPECT_TRUE(WaitFor([] { return fs::exists("started"); }, 10000)) << "the script runs";

    // The next cycle ends the script that is still running before it
    // launches its own: the first script never gets to its end.
    WriteScript(Marks("second"));
    Cycle();
    ASSERT_TRUE(WaitFor([] { return fs::exists("second"); }, 10000));
    EXPECT_FALSE(WaitFor([] { return fs::exists("ended"); }, 3000));
}

TEST_F(DownloadCycle, WaitsWhileTheScriptRunsThenMakesOnePassPerStock)
{
    // Measured from the watcher's first sight of the script's last mark: the
    // script ends right after it, and FileNumber passes of 60 ms follow.
    for (int stocks : {1, 4, 12}) {
        SCOPED_TRACE(std::to_string(stocks) + " stocks");
        std::vector<std::string> symbols;
        std::string body = Marks("started") + Pauses(2);
        for (int n = 0; n < stocks; ++n) {
            symbols.push_back("S" + std::to_string(n));
            body += Writes(symbols.back(), std::to_string(n) + ".5");
        }
        SetStocks(symbols);
        fs::remove("started");
        fs::remove("ended");
        watcher = Watcher();
        WriteScript(body + Marks("ended"));

        const DWORD duration = Cycle();
        ASSERT_NE(watcher.endedSeen, 0u) << "the wait went on until the script had ended";
        EXPECT_GE(watcher.endedSeen - watcher.startedSeen, 700u) << "the script paused for about a second";
        const DWORD afterEnd = returned - watcher.endedSeen;
        EXPECT_GE(afterEnd + 20, static_cast<DWORD>((stocks - 1) * 60));
        EXPECT_LE(afterEnd, static_cast<DWORD>((stocks + 1) * 75 + 200));
        EXPECT_GE(duration, afterEnd + 700);
        EXPECT_GT(watcher.timerMessages, 10) << "the windows were pumped while the script ran";
        for (int n = 0; n < stocks; ++n) EXPECT_EQ(Series(n), std::vector<float>{static_cast<float>(n) + 0.5f}) << symbols[n];
    }
}

TEST_F(DownloadCycle, AStockWithoutAQuoteFileGetsNoPriceTheOthersDo)
{
    SetStocks({"IBM", "MSFT", "AAPL", "DIR"});
    SetSeries(1, {3.0f});
    // The previous cycle's file of MSFT goes before the script runs, and a
    // folder named like DIR's quote file cannot be deleted, nor read.
    WriteFile("TempStocks\\MSFT.csv", QuoteLine("MSFT", "99"));
    fs::create_directory("TempStocks\\DIR.csv");
    WriteScript(Writes("IBM", "12.5") + Writes("AAPL", "7.25"));

    Cycle();
    EXPECT_EQ(Series(0), std::vector<float>{12.5f});
    EXPECT_EQ(Series(1), std::vector<float>{3.0f});
    EXPECT_EQ(Series(2), std::vector<float>{7.25f});
    EXPECT_EQ(Series(3), std::vector<float>{});
    EXPECT_FALSE(fs::exists("TempStocks\\MSFT.csv"));
    EXPECT_TRUE(fs::is_directory("TempStocks\\DIR.csv"));
}

TEST_F(DownloadCycle, AScriptThatExitsWithTheStillActiveStatusEndsTheWait)
{
    SetStocks({"IBM", "MSFT"});
    WriteScript(Writes("IBM", "12.5") + Writes("MSFT", "40.5") + "exit 259\r\n");
    EXPECT_LT(Cycle(), 3000u);
    EXPECT_EQ(Series(0), std::vector<float>{12.5f});
    EXPECT_EQ(Series(1), std::vector<float>{40.5f});
}

TEST_F(DownloadCycle, TheNextLaunchReleasesThePreviousScriptsProcess)
{
    // While a handle to an ended process is open, the process can still be
    // opened by its id; once the last handle is closed it cannot.
    SetStocks({"IBM"});
    std::vector<DWORD> scripts;
    watcher.action = [&scripts] { scripts = ChildInterpreters(); };
    WriteScript(Marks("started") + Pauses(2) + Writes("IBM", "1"));
    Cycle();
    ASSERT_EQ(scripts.size(), 1u) << "one script process was running";
    EXPECT_FALSE(WaitFor([&] { return !CanOpenProcess(scripts[0]); }, 1500))
        << "the cycle holds the ended script's handle until the next launch";

    WriteScript(Writes("IBM", "2"));
    Cycle();
    // The console host may let go of its own handle a moment later.
    EXPECT_TRUE(WaitFor([&] { return !CanOpenProcess(scripts[0]); }, 5000));
    EXPECT_EQ(Series(0), (std::vector<float>{1.0f, 2.0f}));
}

// What the dialog's commands do when they arrive while the script runs.
TEST_F(DownloadCycle, CommandsDuringTheWaitActAtOnceAndTheCycleRunsToItsEnd)
{
    const struct {
        const char* name;
        UINT message;
        WPARAM wParam;
        std::function<void()> check;
    } cases[] = {
        {"Clear data", WM_COMMAND, IDC_CLEAR,
         [] {
             EXPECT_EQ(Series(0), std::vector<float>{12.5f});
             EXPECT_EQ(Series(1), std::vector<float>{40.5f});
             EXPECT_TRUE(stream);
         }},
        {"Stop streaming", WM_COMMAND, IDC_STOP,
         [] {
             EXPECT_FALSE(stream);
             EXPECT_EQ(Series(0), (std::vector<float>{1.0f, 2.0f, 12.5f}));
             EXPECT_EQ(Series(1), (std::vector<float>{3.0f, 40.5f}));
         }},
        {"close request", WM_CLOSE, 0,
         [] {
             EXPECT_FALSE(IsWindow(DialogBoxA));
             EXPECT_FALSE(running);
             EXPECT_EQ(Series(0), (std::vector<float>{1.0f, 2.0f, 12.5f}));
             EXPECT_EQ(Series(1), (std::vector<float>{3.0f, 40.5f}));
         }},
        {"Output streamed data", WM_COMMAND, IDC_OUTPUT,
         [] {
             EXPECT_EQ(ReadFile("Stocks\\IBM.txt"), "2.000000\r\n1.000000\r\n");
             EXPECT_EQ(ReadFile("Stocks\\MSFT.txt"), "3.000000\r\n");
             EXPECT_EQ(Series(0), (std::vector<float>{1.0f, 2.0f, 12.5f}));
         }},
    };
    fs::create_directory("Stocks");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!IsWindow(DialogBoxA)) OpenDialog();
        running = true;
        stream = true;
        SetStocks({"IBM", "MSFT"});
        SetSeries(0, {1.0f, 2.0f});
        SetSeries(1, {3.0f});
        fs::remove("started");
        fs::remove("ended");
        watcher = Watcher();
        watcher.action = [&c] { PostMessageA(DialogBoxA, c.message, c.wParam, 0); };
        WriteScript(Marks("started") + Pauses(2) + Writes("IBM", "12.5") + Writes("MSFT", "40.5") + Marks("ended"));

        Cycle();
        ASSERT_NE(watcher.startedSeen, 0u);
        EXPECT_FALSE(watcher.endedBeforeAction) << "the command came while the script ran";
        c.check();
    }
}

}  // namespace
