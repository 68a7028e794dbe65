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

namespace {

// An edit's text, empty when there is no such control, as GetDlgItemTextA gives it.
void ReadEdit(HWND edit, char* text, int size)
{
    if (!edit || GetWindowTextA(edit, text, size) == 0) text[0] = '\0';
}

}  // namespace

// Every frame pass reads all five texts. Finding a control by its id asks
// the window server for the dialog's children, so the five edits are found
// once per dialog; reading a text from a window of this thread asks nothing.
void SetVariables()
{
    static HWND dialog = nullptr;
    static HWND edits[5];
    static const int ids[5] = {IDC_START_HOUR, IDC_STOP_HOUR, IDC_FOLDER, IDC_FREQUENCY, IDC_TICKS};
    if (dialog != DialogBoxA || !IsWindow(edits[0])) {
        dialog = DialogBoxA;
        for (int k = 0; k < 5; ++k) edits[k] = GetDlgItem(DialogBoxA, ids[k]);
    }

    char buffer[1000];
    ReadEdit(edits[0], buffer, sizeof buffer);
    StartingTime = atoi(buffer);
    ReadEdit(edits[1], buffer, sizeof buffer);
    StoppingTime = atoi(buffer);
    ReadEdit(edits[2], DestinationFolder, sizeof DestinationFolder);
    ReadEdit(edits[3], buffer, sizeof buffer);
    StreamFrequency = atoi(buffer);
    ReadEdit(edits[4], buffer, sizeof buffer);
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
