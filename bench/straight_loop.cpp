// The program's main loop written the straightforward way, for the idle
// benchmark: the same start-up, the same passes, pumping, Sleep calls and
// download cycle as Quorvane.exe, but every frame pass reads all five edit
// texts and redraws the chart with the straightforward frame (every segment,
// every symbol, the title set on every frame). Only scripts/bench.sh runs it.
#include <windows.h>

#include <cstdlib>

#include "../res/resource.h"
#include "core/download_cycle.h"
#include "core/pump.h"
#include "core/schedule.h"
#include "core/stock_table.h"
#include "files/stock_list.h"
#include "support/straight_frame.h"
#include "ui/chart_window.h"
#include "ui/control_dialog.h"

namespace {

void ReadSettings()
{
    char buffer[1000];
    GetDlgItemTextA(DialogBoxA, IDC_START_HOUR, buffer, sizeof buffer);
    StartingTime = atoi(buffer);
    GetDlgItemTextA(DialogBoxA, IDC_STOP_HOUR, buffer, sizeof buffer);
    StoppingTime = atoi(buffer);
    GetDlgItemTextA(DialogBoxA, IDC_FOLDER, DestinationFolder, sizeof DestinationFolder);
    GetDlgItemTextA(DialogBoxA, IDC_FREQUENCY, buffer, sizeof buffer);
    StreamFrequency = atoi(buffer);
    GetDlgItemTextA(DialogBoxA, IDC_TICKS, buffer, sizeof buffer);
    TickNumber = atoi(buffer);
}

void FramePass(MSG& messages)
{
    int32_t HoldFrequence = StreamFrequency;
    ReadSettings();
    if (HoldFrequence != StreamFrequency) ClearTickSeries();
    if (IsWindowVisible(DisplayWindow)) DisplayStraight();

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
    Instance = hInstance;
    DialogBoxA = CreateDialogParamA(Instance, MAKEINTRESOURCEA(IDD_CONTROL), nullptr, DialogProc, 0);
    if (!DialogBoxA) return 0;
    SetDialogDefaults(DialogBoxA);
    ShowWindow(DialogBoxA, SW_SHOWNORMAL);
    PrepairStockList();
    WNDCLASSEXA wincl = ChartWindowClass();
    if (!RegisterClassExA(&wincl)) return 0;

    MSG messages = {};
    do {
        PumpMessages(messages, DialogBoxA);
        PumpMessages(messages, DisplayWindow);
        if (!IsWindowVisible(DialogBoxA)) {
            running = false;
            break;
        }
        static DWORD DownloadTimer = GetTickCount();
        if (IntervalElapsed(GetTickCount(), DownloadTimer, StreamFrequency)) {
            static SYSTEMTIME Time;
            GetLocalTime(&Time);
            if (InStreamingWindow(Time.wHour, StartingTime, StoppingTime) && stream) DownloadStocks();
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
