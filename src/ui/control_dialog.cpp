#include "control_dialog.h"

#include <cstdlib>

#include "../../res/resource.h"
#include "../core/stock_table.h"
#include "../files/tick_export.h"
#include "chart_window.h"

void SetDialogDefaults(HWND dialog)
{
    SetDlgItemTextA(dialog, IDC_START_HOUR, "7");
    SetDlgItemTextA(dialog, IDC_STOP_HOUR, "16");
    SetDlgItemTextA(dialog, IDC_FOLDER, "Stocks\\");
    SetDlgItemTextA(dialog, IDC_FREQUENCY, "60");
    SetDlgItemTextA(dialog, IDC_TICKS, "1000");
}

void SetVariables()
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

namespace {

void OnCommand(int command)
{
    switch (command) {
    case IDC_OUTPUT:
        SetVariables();
        ExportTickSeries();
        break;
    case IDC_CLEAR:
        ClearTickSeries();
        break;
    case IDC_STOP:
        stream = false;
        break;
    case IDC_START:
        stream = true;
        break;
    case IDC_DISPLAY:
        if (!IsWindowVisible(DisplayWindow)) OpenChartWindow();
        break;
    }
}

}  // namespace

INT_PTR CALLBACK DialogProc(HWND DialogBoxA, UINT Message, WPARAM wParam, LPARAM)
{
    switch (Message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(DialogBoxA);
        running = false;
        return TRUE;
    }
    return FALSE;
}
