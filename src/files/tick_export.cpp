#include "tick_export.h"

#include <cerrno>
#include <charconv>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

#include "../core/report.h"
#include "../core/stock_table.h"

namespace {

// An existing file must be open to writing, as it would have to be if it were
// rewritten in place: a read-only export stays as it is.
bool MayReplace(const char* path)
{
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesA(path);
    return attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY);
#else
    FILE* file = fopen(path, "r+b");
    if (!file) return errno == ENOENT;
    fclose(file);
    return true;
#endif
}

// Writes a temporary file beside path and then puts it in path's place.
bool WriteReplacing(const char* path, const char* data, size_t size)
{
    if (!MayReplace(path)) return false;
    char temporary[1000 + 8];
    snprintf(temporary, sizeof temporary, "%s.tmp", path);
    FILE* file = fopen(temporary, "wb");
    if (!file) return false;
    setvbuf(file, nullptr, _IONBF, 0);  // one write call for the whole text
    bool written = fwrite(data, 1, size, file) == size;
    if (fclose(file) != 0) written = false;
#ifdef _WIN32
    const bool replaced = written && MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING);
#else
    const bool replaced = written && rename(temporary, path) == 0;
#endif
    if (!replaced) remove(temporary);
    return replaced;
}

}  // namespace

size_t FormatTickLines(const float* values, int32_t count, char* out)
{
    char* end = out;
    for (int32_t x = count - 1; x >= 0; --x) {
        end = std::to_chars(end, end + MaxExportLine - 2, double{values[x]}, std::chars_format::fixed, 6).ptr;
        *end++ = '\r';
        *end++ = '\n';
    }
    return static_cast<size_t>(end - out);
}

void ExportTickSeries()
{
    static char text[MaxTicks * MaxExportLine];
    int failed = 0;
    int32_t firstFailed = 0;
    for (int32_t i = 0; i < FileNumber; ++i) {
        char buffer2[1000];
        const int length = snprintf(buffer2, sizeof buffer2, "%s%s.txt", DestinationFolder, FileName[i]);
        const STOCKFILE& series = StockFile[i];
        const int32_t count = series.FileSize < 0 ? 0 : series.FileSize > MaxTicks ? MaxTicks : series.FileSize;
        const bool fits = length >= 0 && length < static_cast<int>(sizeof buffer2);
        if (fits && WriteReplacing(buffer2, text, FormatTickLines(series.StockValues, count, text))) continue;
        if (failed++ == 0) firstFailed = i;
    }
    if (failed == 0) return;

    char message[sizeof DestinationFolder + SymbolSlotSize + 64];
    if (failed == 1)
        snprintf(message, sizeof message, "Failed to write 1 file - %s%s.txt", DestinationFolder,
                 FileName[firstFailed]);
    else
        snprintf(message, sizeof message, "Failed to write %d files - first: %s%s.txt", failed,
                 DestinationFolder, FileName[firstFailed]);
    ReportToUser(message);
}
