#include <windows.h>

#include "../core/report.h"

void ReportToUser(const char* text)
{
    MessageBoxA(nullptr, text, nullptr, MB_OK);
}
