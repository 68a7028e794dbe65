#include "download_cycle.h"

#include <cstdio>

#include "../ui/chart_window.h"
#include "pump.h"
#include "schedule.h"
#include "stock_table.h"

bool ScriptEnded(HANDLE process)
{
    return !process || WaitForSingleObject(process, 0) != WAIT_TIMEOUT;
}

void DownloadStocks()
{
    static HANDLE ShellProcess = nullptr;

    // The previous cycle's quote files go first, so that a stock whose
    // download fails gets no price rather than the old one again.
    char buffer[1000];
    for (int32_t i = 0; i < FileNumber; ++i) {
        Sleep(1);
        snprintf(buffer, sizeof buffer, "TempStocks\\%s.csv", FileName[i]);
        if (FileExists(buffer)) DeleteFileA(buffer);
    }

    if (ShellProcess) {
        TerminateProcess(ShellProcess, 0);
        CloseHandle(ShellProcess);
    }
    SHELLEXECUTEINFOA ShellExecuteInfo = {};
    ShellExecuteInfo.cbSize = sizeof ShellExecuteInfo;
    ShellExecuteInfo.fMask = SEE_MASK_NOCLOSEPROCESS;
    ShellExecuteInfo.lpVerb = "open";
    ShellExecuteInfo.lpFile = "Run.bat";
    ShellExecuteInfo.nShow = SW_HIDE;
    ShellExecuteExA(&ShellExecuteInfo);
    ShellProcess = ShellExecuteInfo.hProcess;

    // Passes of about PacingPeriod ms, pumping both windows, until FileNumber
    // passes in a row have found the script ended.
    MSG messages;
    int32_t i = 0;
    while (i < FileNumber) {
        if (IsWindowVisible(DisplayWindow)) Display();
        Sleep(1);
        static DWORD timer = GetTickCount();
        while (!PacingElapsed(GetTickCount(), timer)) {
            Sleep(10);
            PumpMessages(messages, DialogBoxA);
            PumpMessages(messages, DisplayWindow);
        }
        timer = GetTickCount();
        i = ScriptEnded(ShellProcess) ? i + 1 : 0;
    }

    for (i = 0; i < FileNumber; ++i) StockFile[i].Load(FileName[i]);
}
