// The load step of a download cycle: 1000 stocks each read their quote file
// (a usual one-line reply) and append its price. The straightforward way
// reads the file as a text-mode stream token by token with fscanf and
// converts the price with "%f"; ours is STOCKFILE::Load. The limit is what
// the C runtime needs to open, read and close the same files, parsing nothing.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "core/stock_table.h"
#include "harness.h"

namespace {

bool LoadStraight(STOCKFILE& series, const char* StockName)
{
    char buffer2[1000];
    snprintf(buffer2, sizeof buffer2, "TempStocks\\%s.csv", StockName);
    if (!FileExists(buffer2)) return false;
    FILE* file = fopen(buffer2, "r");
    if (!file) return false;
    char buffer[1000];
    while (fscanf(file, "%999s\n", buffer) == 1) {
        const char* comma = strchr(buffer, ',');
        if (!comma) continue;
        char floatbuffer[1000];
        size_t f = 0;
        for (const char* p = comma + 1; *p && *p != ','; ++p) floatbuffer[f++] = *p;
        floatbuffer[f] = '\0';
        float price;
        if (sscanf(floatbuffer, "%f", &price) == 1 && series.FileSize < MaxTicks)
            series.StockValues[series.FileSize++] = price;
    }
    fclose(file);
    return true;
}

size_t ReadOnly(const char* StockName)
{
    char path[1000];
    snprintf(path, sizeof path, "TempStocks\\%s.csv", StockName);
    FILE* file = fopen(path, "rb");
    if (!file) return 0;
    setvbuf(file, nullptr, _IONBF, 0);
    char chunk[4096];
    const size_t n = fread(chunk, 1, sizeof chunk, file);
    fclose(file);
    return n;
}

void Reset()
{
    for (int i = 0; i < FileNumber; ++i) StockFile[i].FileSize = 0;
}

}  // namespace

int main()
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::filesystem::path root =
        std::filesystem::path(temp) / ("quorvane-load-bench-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(root / "TempStocks");
    SetCurrentDirectoryA(root.string().c_str());

    FileNumber = MaxStockFiles;
    for (int i = 0; i < FileNumber; ++i) {
        snprintf(FileName[i], SymbolSlotSize, "SYM%03d", i);
        char path[1000], line[200];
        snprintf(path, sizeof path, "TempStocks\\%s.csv", FileName[i]);
        const int n = snprintf(line, sizeof line,
                               "\"%s\",%d.%02d,\"12/11/2026\",\"4:05pm\",+1.20,122.00,124.10,121.80,3456789\r\n",
                               FileName[i], 5 + i % 400, i % 100);
        FILE* file = fopen(path, "wb");
        fwrite(line, 1, static_cast<size_t>(n), file);
        fclose(file);
    }

    // Both ways must take the same prices.
    Reset();
    for (int i = 0; i < FileNumber; ++i) LoadStraight(StockFile[i], FileName[i]);
    std::vector<float> straightPrices;
    for (int i = 0; i < FileNumber; ++i)
        straightPrices.push_back(StockFile[i].FileSize == 1 ? StockFile[i].StockValues[0] : -1.0f);
    Reset();
    for (int i = 0; i < FileNumber; ++i) StockFile[i].Load(FileName[i]);
    bool same = true;
    for (int i = 0; i < FileNumber; ++i)
        same = same && StockFile[i].FileSize == 1 && StockFile[i].StockValues[0] == straightPrices[size_t(i)];

    std::vector<double> straight, ours, limit;
    size_t bytes = 0;
    for (int round = 0; round < 9; ++round) {
        Reset();
        straight.push_back(TimeMs([] {
            for (int i = 0; i < FileNumber; ++i) LoadStraight(StockFile[i], FileName[i]);
        }));
        Reset();
        ours.push_back(TimeMs([] {
            for (int i = 0; i < FileNumber; ++i) StockFile[i].Load(FileName[i]);
        }));
        bytes = 0;
        limit.push_back(TimeMs([&] {
            for (int i = 0; i < FileNumber; ++i) bytes += ReadOnly(FileName[i]);
        }));
    }
    const double s = Median(straight), o = Median(ours), l = Median(limit);
    char note[200];
    snprintf(note, sizeof note, "%s; %.1f us a file", same ? "same prices" : "PRICES DIFFER", o * 1000 / FileNumber);
    Row("Load step: 1000 quote files", Ms(s), Ms(o), Ratio(s, o), note);
    snprintf(note, sizeof note, "open, read, close, no parsing (%zu bytes): ours takes %.2fx the limit", bytes, o / l);
    Row("Load step: C runtime open/read/close (limit)", "", Ms(l), "", note);

    SetCurrentDirectoryA(temp);
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
    return same ? 0 : 1;
}
