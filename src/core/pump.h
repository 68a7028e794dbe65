// Drains the pending messages of one window (null: every message of the
// thread), keeping the last one retrieved in messages.
#pragma once

#include <windows.h>

inline void PumpMessages(MSG& messages, HWND window)
{
    MSG next;
    while (PeekMessageA(&next, window, 0, 0, PM_REMOVE)) {
        messages = next;
        TranslateMessage(&messages);
        DispatchMessageA(&messages);
    }
}
