// How many GDI objects and kernel handles a process holds, for checks that
// nothing leaks over many frames.
#pragma once

#include <windows.h>

// GetGuiResources(process, GR_GDIOBJECTS) where it is implemented. Wine only
// stubs it (0, ERROR_CALL_NOT_IMPLEMENTED); there the process's own GDI
// handle table, which its PEB points to, is read and its used entries counted.
DWORD GdiObjectCount(HANDLE process);

// GetProcessHandleCount where it answers; Wine answers 0, and there the
// system's handle list is searched for the process's entries.
DWORD KernelHandleCount(HANDLE process);
