// Identifiers of the control dialog and its controls.
#pragma once

#define IDD_CONTROL 101

#define IDC_START_HOUR 1
#define IDC_STOP_HOUR 2
#define IDC_FOLDER 3
#define IDC_FREQUENCY 4
#define IDC_TICKS 1009

#define IDC_START_LABEL 10
#define IDC_STOP_LABEL 20
#define IDC_FOLDER_LABEL 30
#define IDC_FREQUENCY_LABEL 40
#define IDC_TICKS_LABEL 6

#define IDC_OUTPUT 5
#define IDC_CLEAR 1003
#define IDC_STOP 1004
#define IDC_START 1005
#define IDC_DISPLAY 1007
