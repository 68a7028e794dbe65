// The control dialog: default texts, the settings read and the dialog procedure.
#pragma once

#include <windows.h>

void SetDialogDefaults(HWND dialog);
void SetVariables();
INT_PTR CALLBACK DialogProc(HWND DialogBoxA, UINT Message, WPARAM wParam, LPARAM lParam);
