#include "stock_list.h"

#include <cstdio>
#include <cstring>

#include "../core/report.h"
#include "../core/stock_table.h"

#ifndef QUOTE_HOST
#error "QUOTE_HOST must name the quote service, host[:port]"
#endif

namespace {

constexpr int EndOfText = 0x1A;  // Ctrl-Z ends a text file
constexpr int ShownSkipped = 5;
constexpr size_t ShownLength = 24;

bool IsBlank(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads the next whitespace-delimited token. Up to 99 characters go into
// slot; *length gets the full length, which may be more. False at the end.
bool ReadToken(FILE* in, char (&slot)[SymbolSlotSize], size_t* length)
{
    int c;
    do {
        c = fgetc(in);
        if (c == EOF || c == EndOfText) return false;
    } while (IsBlank(c));

    size_t n = 0;
    while (c != EOF && c != EndOfText && !IsBlank(c)) {
        if (n < SymbolSlotSize - 1) slot[n] = static_cast<char>(c);
        ++n;
        c = fgetc(in);
    }
    if (c == EndOfText) ungetc(c, in);  // the end stays the end for the next call
    slot[n < SymbolSlotSize - 1 ? n : SymbolSlotSize - 1] = '\0';
    *length = n;
    return true;
}

// Collects what was left out of the list, for one message at the end.
struct SkippedTokens {
    int count = 0;
    char shown[512] = "";

    void Add(const char* token, size_t length)
    {
        if (count++ >= ShownSkipped) return;
        char item[ShownLength + 8];
        size_t n = 0;
        for (; n < length && n < ShownLength && token[n]; ++n) {
            unsigned char c = static_cast<unsigned char>(token[n]);
            item[n] = (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
        }
        item[n] = '\0';
        if (length > n) strcat(item, "...");
        size_t used = strlen(shown);
        snprintf(shown + used, sizeof shown - used, "%s%s", used ? ", " : "", item);
    }

    void Report(int leftOver) const
    {
        if (count == 0 && leftOver == 0) return;
        char text[1000];
        int n = snprintf(text, sizeof text, "Skipped %d entries - Stock List.txt\n", count + leftOver);
        if (count > 0)
            n += snprintf(text + n, sizeof text - n,
                          "A symbol is 1 to 99 letters, digits or . - _ =\n"
                          "Not symbols (%d): %s%s\n",
                          count, shown, count > ShownSkipped ? ", ..." : "");
        if (leftOver > 0)
            snprintf(text + n, sizeof text - n, "Only %d stocks can be held: %d more left out\n",
                     MaxStockFiles, leftOver);
        ReportToUser(text);
    }
};

}  // namespace

bool IsSafeSymbol(const char* token, size_t length)
{
    if (length < 1 || length > SymbolSlotSize - 1) return false;
    for (size_t i = 0; i < length; ++i) {
        char c = token[i];
        bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                  c == '.' || c == '-' || c == '_' || c == '=';
        if (!ok) return false;
    }
    return true;
}

int FormatScriptBlock(char* out, size_t size, const char* symbol)
{
    return snprintf(out, size,
                    "@echo off\r\n"
                    " wget.exe -q -O TempStocks\\%s.csv \"http://" QUOTE_HOST
                    "/d/quotes.csv?s=%s&f=sl1d1t1c1ohgv&e=.csv\"\r\n",
                    symbol, symbol);
}

bool PrepairStockList()
{
    FILE* list = fopen("Stock List.txt", "r");
    if (!list) {
        ReportToUser("Failed to load - Stock List.txt");
        return false;
    }
    FileNumber = 0;

    // The script is written in binary with explicit CR LF, the bytes that a
    // text-mode stream produces on Windows, on every platform.
    FILE* RunFile = fopen("Run.bat", "wb+");
    bool scriptOk = RunFile != nullptr;

    SkippedTokens skipped;
    int leftOver = 0;
    char token[SymbolSlotSize];
    size_t length;
    while (ReadToken(list, token, &length)) {
        if (!IsSafeSymbol(token, length)) {
            skipped.Add(token, length);
            continue;
        }
        if (FileNumber == MaxStockFiles) {
            ++leftOver;
            continue;
        }
        memcpy(FileName[FileNumber], token, length + 1);
        if (scriptOk) {
            char block[2 * SymbolSlotSize + 200];
            int n = FormatScriptBlock(block, sizeof block, token);
            scriptOk = fwrite(block, 1, static_cast<size_t>(n), RunFile) == static_cast<size_t>(n);
        }
        ++FileNumber;
    }

    if (RunFile) {
        static const char Trailer[] = "delete run.bat";
        if (scriptOk) scriptOk = fwrite(Trailer, 1, sizeof Trailer - 1, RunFile) == sizeof Trailer - 1;
        if (fclose(RunFile) != 0) scriptOk = false;
    }
    fclose(list);

    if (!scriptOk) ReportToUser("Failed to write - Run.bat");
    skipped.Report(leftOver);
    return scriptOk;
}
