// Entry point: start-up, the polling main loop with its streaming schedule,
// and shutdown.
#include <windows.h>

#include "../../res/resource.h"
#include "../files/stock_list.h"
#include "../ui/chart_window.h"
#include "../ui/control_dialog.h"
#include "download_cycle.h"
#include "pump.h"
#include "report.h"
#include "schedule.h"
#include "stock_table.h"

namespace {

void ShowDonations()
{
    SHELLEXECUTEINFOA ShellExecuteInfo = {};
    ShellExecuteInfo.cbSize = sizeof ShellExecuteInfo;
    ShellExecuteInfo.fMask = SEE_MASK_NOCLOSEPROCESS;
    ShellExecuteInfo.lpVerb = "open";
    ShellExecuteInfo.lpFile = "Donations.txt";
    ShellExecuteInfo.nShow = SW_SHOW;
    ShellExecuteExA(&ShellExecuteInfo);
    if (ShellExecuteInfo.hProcess) CloseHandle(ShellExecuteInfo.hProcess);
}

// The downloader writes the quote files into TempStocks but cannot make the
// folder: one that is missing is made here, and the user is told when that
// fails (a file of that name stands in its way, the drive is read-only).
void PrepareQuoteFolder()
{
    CreateDirectoryA("TempStocks", nullptr);
    const DWORD attributes = GetFileAttributesA("TempStocks");
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        ReportToUser("Failed to create - TempStocks");
}

// A check pass: start a download cycle when the hour and the switch allow.
void CheckPass()
{
    static SYSTEMTIME Time;
    GetLocalTime(&Time);
    if (InStreamingWindow(Time.wHour, StartingTime, StoppingTime) && stream) DownloadStocks();
}

// A frame pass: re-read the settings, redraw, and pace to one pass per period.
void FramePass(MSG& messages)
{
    int32_t HoldFrequence = StreamFrequency;
    SetVariables();
    if (HoldFrequence != StreamFrequency) ClearTickSeries();
    if (IsWindowVisible(DisplayWindow)) Display();

    static DWORD timer = GetTickCount();
    while (!PacingElapsed(GetTickCount(), timer)) {
        Sleep(1);
        PumpMessages(messages, DialogBoxA);
        PumpMessages(messages, DisplayWindow);
    }
    timer = GetTickCount();
    Sleep(10);
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    ShowDonations();
    Instance = hInstance;
    DialogBoxA = CreateDialogParamA(Instance, MAKEINTRESOURCEA(IDD_CONTROL), nullptr, DialogProc, 0);
    if (!DialogBoxA) {
        ReportToUser("Failed to load dialog box ");
        return 0;
    }
    SetDialogDefaults(DialogBoxA);
    ShowWindow(DialogBoxA, SW_SHOWNORMAL);
    PrepairStockList();
    PrepareQuoteFolder();

    WNDCLASSEXA wincl = ChartWindowClass();
    if (!RegisterClassExA(&wincl)) return 0;

    MSG messages = {};  // the exit code stays 0 if nothing is ever retrieved
    do {
        PumpMessages(messages, DialogBoxA);
        PumpMessages(messages, DisplayWindow);
        if (!IsWindowVisible(DialogBoxA)) {
            running = false;
            break;
        }
        static DWORD DownloadTimer = GetTickCount();
        if (IntervalElapsed(GetTickCount(), DownloadTimer, StreamFrequency)) {
            CheckPass();
            DownloadTimer = GetTickCount();
        } else {
            FramePass(messages);
        }
        UpdateWindow(DialogBoxA);
    } while (running);

    DestroyWindow(DisplayWindow);
    DestroyWindow(DialogBoxA);
    return static_cast<int>(messages.wParam);
}
