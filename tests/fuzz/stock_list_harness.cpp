#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/stock_table.h"
#include "files/stock_list.h"
#include "harness.h"
#include "support/recorded_reports.h"

namespace {

bool IsBlank(uint8_t c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsSymbolCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-' || c == '_' || c == '=';
}

bool IsSymbol(const std::string& token)
{
    if (token.empty() || token.size() > 99) return false;
    for (char c : token)
        if (!IsSymbolCharacter(c)) return false;
    return true;
}

// What the reader should make of the list: the symbols it keeps, in order,
// the tokens that are no symbols and the symbols beyond the table's room.
struct ListModel {
    std::vector<std::string> symbols;
    std::vector<std::string> notSymbols;
    int leftOver = 0;
};

ListModel ModelOf(const uint8_t* data, size_t size)
{
    ListModel model;
    std::string token;
    const auto take = [&] {
        if (token.empty()) return;
        if (!IsSymbol(token))
            model.notSymbols.push_back(token);
        else if (model.symbols.size() < static_cast<size_t>(MaxStockFiles))
            model.symbols.push_back(token);
        else
            ++model.leftOver;
        token.clear();
    };
    for (size_t n = 0; n < size && data[n] != 0x1A; ++n) {
        if (IsBlank(data[n]))
            take();
        else
            token += static_cast<char>(data[n]);
    }
    take();
    return model;
}

bool WriteBytes(const char* path, const uint8_t* data, size_t size)
{
    FILE* file = fopen(path, "wb");
    if (!file) return false;
    const bool written = fwrite(data, 1, size, file) == size;
    return fclose(file) == 0 && written;
}

std::string ReadBytes(const char* path)
{
    std::string bytes;
    FILE* file = fopen(path, "rb");
    if (!file) return bytes;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, n);
    fclose(file);
    return bytes;
}

std::string Block(const char* symbol)
{
    std::string block(2 * SymbolSlotSize + 200, '\0');
    const int n = FormatScriptBlock(&block[0], block.size(), symbol);
    block.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return block;
}

std::string CheckScript(const std::vector<std::string>& symbols)
{
    const std::string script = ReadBytes("Run.bat");
    static const char Trailer[] = "delete run.bat";
    size_t at = 0;
    for (size_t i = 0; i < symbols.size(); ++i) {
        const std::string block = Block(symbols[i].c_str());
        const std::string opening = "@echo off\r\n wget.exe -q -O TempStocks\\" + symbols[i] + ".csv ";
        if (block.compare(0, opening.size(), opening) != 0 || block.size() < 2 ||
            block.compare(block.size() - 2, 2, "\r\n") != 0)
            return "the block of symbol " + std::to_string(i) + " is not the download of its quote file";
        if (script.compare(at, block.size(), block) != 0)
            return "Run.bat does not hold the block of symbol " + std::to_string(i) + " at byte " + std::to_string(at);
        at += block.size();
    }
    if (script.compare(at, std::string::npos, Trailer) != 0)
        return "Run.bat does not end in exactly the trailer after " + std::to_string(symbols.size()) + " blocks";
    return "";
}

// A token as the message shows it: its first characters, up to a zero byte,
// with anything unprintable as '?', and "..." when some are left off.
std::string Shown(const std::string& token)
{
    std::string shown = token.substr(0, 24).c_str();
    for (char& c : shown)
        if (c < 0x20 || c > 0x7E) c = '?';
    return shown.size() < token.size() ? shown + "..." : shown;
}

std::string CheckReports(const std::vector<std::string>& reports, const ListModel& model)
{
    const int notSymbols = static_cast<int>(model.notSymbols.size());
    if (notSymbols == 0 && model.leftOver == 0) {
        if (!reports.empty()) return "a message with nothing left out: " + reports[0];
        return "";
    }
    if (reports.size() != 1) return std::to_string(reports.size()) + " messages for left-out entries, not one";
    std::string expected = "Skipped " + std::to_string(notSymbols + model.leftOver) + " entries - Stock List.txt\n";
    if (notSymbols > 0) {
        expected += "A symbol is 1 to 99 letters, digits or . - _ =\n";
        expected += "Not symbols (" + std::to_string(notSymbols) + "): ";
        for (int i = 0; i < notSymbols && i < 5; ++i) expected += (i ? ", " : "") + Shown(model.notSymbols[i]);
        expected += notSymbols > 5 ? ", ...\n" : "\n";
    }
    if (model.leftOver > 0)
        expected += "Only " + std::to_string(MaxStockFiles) + " stocks can be held: " +
                    std::to_string(model.leftOver) + " more left out\n";
    if (reports[0] != expected) return "the message is \"" + reports[0] + "\", not \"" + expected + "\"";
    return "";
}

}  // namespace

std::string CheckStockList(const uint8_t* data, size_t size)
{
    if (!WriteBytes("Stock List.txt", data, size)) return "cannot write the stock list";
    const ListModel model = ModelOf(data, size);

    // The slot after the last symbol is not the reader's to touch.
    char* after = FileName[model.symbols.size()];
    memset(after, 0x5A, SymbolSlotSize);
    RecordedReports().clear();
    FileNumber = -1;

    const bool ok = PrepairStockList();
    // Taken out, so that nothing allocated here outlives the input: a leak
    // check would follow otherwise.
    std::vector<std::string> reports;
    reports.swap(RecordedReports());
    if (!ok) return "PrepairStockList failed";

    if (FileNumber < 0 || FileNumber > MaxStockFiles) return "FileNumber " + std::to_string(FileNumber);
    if (static_cast<size_t>(FileNumber) != model.symbols.size())
        return "FileNumber " + std::to_string(FileNumber) + ", the list holds " +
               std::to_string(model.symbols.size()) + " symbols to keep";
    for (int i = 0; i < FileNumber; ++i) {
        const char* entry = FileName[i];
        const size_t length = strnlen(entry, SymbolSlotSize);
        if (length < 1 || length > 99) return "entry " + std::to_string(i) + " is " + std::to_string(length) + " long";
        for (size_t n = 0; n < length; ++n)
            if (!IsSymbolCharacter(entry[n])) return "entry " + std::to_string(i) + " holds a disallowed character";
        if (model.symbols[i] != entry) return "entry " + std::to_string(i) + " is not symbol " + model.symbols[i];
    }
    for (int n = 0; n < SymbolSlotSize; ++n)
        if (after[n] != 0x5A) return "the slot after the last entry was written";

    std::string broken = CheckScript(model.symbols);
    if (broken.empty()) broken = CheckReports(reports, model);
    return broken;
}
