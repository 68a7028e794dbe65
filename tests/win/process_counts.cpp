#include "process_counts.h"

#include <winternl.h>

#include <vector>

namespace {

// One entry of the GDI handle table of a 64-bit process.
struct GdiHandleEntry {
    UINT64 object;
    USHORT processId;
    USHORT count;
    USHORT unique;
    UCHAR type;  // 0 for a free entry
    UCHAR flags;
    UINT64 userPointer;
};
static_assert(sizeof(GdiHandleEntry) == 24, "the table's entry layout");

constexpr size_t MaxGdiHandles = 16384;
constexpr size_t PebGdiHandleTable = 0xF8;  // offset of GdiSharedHandleTable in a 64-bit PEB

DWORD CountGdiTable(HANDLE process)
{
    PROCESS_BASIC_INFORMATION basic = {};
    ULONG length = 0;
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, &length) != 0)
        return 0;
    UINT64 table = 0;
    SIZE_T read = 0;
    const auto* peb = static_cast<const BYTE*>(static_cast<void*>(basic.PebBaseAddress));
    if (!ReadProcessMemory(process, peb + PebGdiHandleTable, &table, sizeof table, &read) || !table) return 0;
    std::vector<GdiHandleEntry> entries(MaxGdiHandles);
    if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(),
                           entries.size() * sizeof(GdiHandleEntry), &read))
        return 0;
    DWORD used = 0;
    for (const GdiHandleEntry& entry : entries) used += entry.type != 0;
    return used;
}

// The records of the system's handle list (SystemHandleInformation).
struct SystemHandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE handleFlags;
    USHORT handleValue;
    PVOID objectPointer;
    ULONG accessMask;
};

DWORD CountSystemHandles(DWORD pid)
{
    constexpr ULONG SystemHandleInformation = 16;
    constexpr NTSTATUS InfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);
    std::vector<BYTE> buffer(1 << 20);
    ULONG length = 0;
    NTSTATUS status;
    while ((status = NtQuerySystemInformation(static_cast<SYSTEM_INFORMATION_CLASS>(SystemHandleInformation),
                                              buffer.data(), static_cast<ULONG>(buffer.size()), &length)) ==
           InfoLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status != 0) return 0;
    const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entries = reinterpret_cast<const SystemHandleEntry*>(buffer.data() + sizeof(ULONG_PTR));
    DWORD owned = 0;
    for (ULONG i = 0; i < count; ++i) owned += entries[i].ownerPid == pid;
    return owned;
}

}  // namespace

DWORD GdiObjectCount(HANDLE process)
{
    SetLastError(0);
    const DWORD count = GetGuiResources(process, GR_GDIOBJECTS);
    if (count == 0 && GetLastError() == ERROR_CALL_NOT_IMPLEMENTED) return CountGdiTable(process);
    return count;
}

DWORD KernelHandleCount(HANDLE process)
{
    DWORD count = 0;
    if (GetProcessHandleCount(process, &count) && count != 0) return count;
    return CountSystemHandles(GetProcessId(process));
}
