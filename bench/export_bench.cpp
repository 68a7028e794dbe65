// The tick export at scale: 100 stocks of 100000 prices. The straightforward
// way formats each price with sprintf("%f") and writes it with fprintf into a
// text-mode stream; ours is ExportTickSeries. The raw write puts the same
// bytes into the same files with one WriteFile each: the limit. The files of
// the two ways are compared byte for byte.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/stock_table.h"
#include "files/tick_export.h"
#include "harness.h"
#include "support/recorded_reports.h"

namespace {

constexpr int Stocks = 100;

std::string ReadAll(const std::filesystem::path& path)
{
    std::string bytes;
    if (FILE* file = fopen(path.string().c_str(), "rb")) {
        char chunk[65536];
        size_t n;
        while ((n = fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, n);
        fclose(file);
    }
    return bytes;
}

// The export as first written: one formatted conversion and one formatted
// write per price, through the C runtime's text-mode stream.
void ExportStraight(const std::string& folder)
{
    for (int i = 0; i < FileNumber; ++i) {
        char buffer2[1000];
        snprintf(buffer2, sizeof buffer2, "%s%s.txt", folder.c_str(), FileName[i]);
        FILE* File = fopen(buffer2, "w+");
        if (!File) continue;
        for (int x = StockFile[i].FileSize - 1; x >= 0; --x) {
            char floatbuffer[1000];
            sprintf(floatbuffer, "%f", static_cast<double>(StockFile[i].StockValues[x]));
            fprintf(File, "%s\n", floatbuffer);
        }
        fclose(File);
    }
}

void WriteRaw(const std::string& folder, const std::vector<std::string>& contents)
{
    for (int i = 0; i < FileNumber; ++i) {
        const std::string path = folder + FileName[i] + ".txt";
        const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                        nullptr);
        DWORD written;
        WriteFile(file, contents[i].data(), static_cast<DWORD>(contents[i].size()), &written, nullptr);
        CloseHandle(file);
    }
}

}  // namespace

int main()
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::filesystem::path root =
        std::filesystem::path(temp) / ("quorvane-export-bench-" + std::to_string(GetCurrentProcessId()));
    const std::string straightFolder = (root / "straight").string() + "\\";
    const std::string oursFolder = (root / "ours").string() + "\\";
    const std::string rawFolder = (root / "raw").string() + "\\";
    for (const std::string& folder : {straightFolder, oursFolder, rawFolder}) std::filesystem::create_directories(folder);

    // Prices of a few dollars to a few thousand, in cents, as quotes come.
    FileNumber = Stocks;
    uint32_t noise = 99;
    for (int i = 0; i < Stocks; ++i) {
        snprintf(FileName[i], SymbolSlotSize, "STOCK%02d", i);
        int cents = 500 + i * 3700;
        for (int x = 0; x < MaxTicks; ++x) {
            noise = noise * 1664525u + 1013904223u;
            cents = std::max(1, cents + static_cast<int>(noise >> 29) - 3);
            StockFile[i].StockValues[x] = static_cast<float>(cents) / 100.0f;
        }
        StockFile[i].FileSize = MaxTicks;
    }
    const double values = static_cast<double>(Stocks) * MaxTicks;

    std::vector<double> straight, ours, raw;
    straight.push_back(TimeMs([&] { ExportStraight(straightFolder); }));
    strcpy(DestinationFolder, oursFolder.c_str());
    ours.push_back(TimeMs(ExportTickSeries));

    bool identical = RecordedReports().empty();
    std::vector<std::string> contents;
    size_t bytes = 0;
    for (int i = 0; i < Stocks; ++i) {
        contents.push_back(ReadAll(oursFolder + FileName[i] + ".txt"));
        bytes += contents.back().size();
        identical = identical && contents.back() == ReadAll(straightFolder + FileName[i] + ".txt");
    }

    // The straightforward export takes about a minute: it runs once, and
    // ours and the raw write five times each.
    for (int round = 0; round < 5; ++round) {
        ours.push_back(TimeMs(ExportTickSeries));
        raw.push_back(TimeMs([&] { WriteRaw(rawFolder, contents); }));
    }
    const double s = Median(straight), o = Median(ours), r = Median(raw);
    char note[200];
    snprintf(note, sizeof note, "%s; %.0f values, %.1f MB; %.2f / %.3f us a value; target >= 20x",
             identical ? "files byte-identical" : "FILES DIFFER", values, static_cast<double>(bytes) / 1e6,
             s * 1000 / values, o * 1000 / values);
    Row("Export: 100 stocks x 100000 prices", Ms(s), Ms(o), Ratio(s, o), note);
    snprintf(note, sizeof note, "the same bytes, one WriteFile per file: ours takes %.1fx the limit", o / r);
    Row("Export: raw write of the same bytes (limit)", "", Ms(r), "", note);

    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
    return identical ? 0 : 1;
}
