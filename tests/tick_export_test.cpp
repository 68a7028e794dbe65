#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include "core/stock_table.h"
#include "files/tick_export.h"
#include "support/recorded_reports.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

// ---- The lines of one series ----------------------------------------------

// The reference: one "%f" per price, widened to double, newest first.
std::string Reference(const std::vector<float>& values)
{
    std::string text;
    char line[64];
    for (size_t n = values.size(); n-- > 0;) {
        snprintf(line, sizeof line, "%f\r\n", static_cast<double>(values[n]));
        text += line;
    }
    return text;
}

std::string Formatted(const std::vector<float>& values)
{
    std::vector<char> out(values.size() * MaxExportLine + 1);
    const size_t size = FormatTickLines(values.data(), static_cast<int32_t>(values.size()), out.data());
    return std::string(out.data(), size);
}

// Values of every kind that "%f" treats differently: all magnitudes from the
// smallest subnormal to FLT_MAX, both signs, exact ties at the sixth decimal
// (odd multiples of 1/128), and the neighbours of half a millionth.
std::vector<float> VariedFloats()
{
    std::vector<float> values = {0.0f, -0.0f, FLT_TRUE_MIN, -FLT_TRUE_MIN, FLT_MIN, -FLT_MIN,
                                 FLT_MAX, -FLT_MAX, 1.0f, -1.0f, 0.1f, 1234.56f, 23.45f};
    std::mt19937 random(20261211);
    while (values.size() < 600000) {
        const uint32_t bits = random();
        float value;
        memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value)) values.push_back(value);
    }
    for (int n = 1; n < 200000; n += 2) {
        const float odd = static_cast<float>(n);
        values.push_back(odd / 128.0f);
        values.push_back(-odd / 128.0f);
        values.push_back(odd * 4096.0f + 1 / 128.0f);
    }
    for (int half = 1; half < 2000; half += 2) {
        float value = static_cast<float>(half) * 0.5e-6f;
        for (int step = 0; step < 40; ++step) value = std::nextafter(value, 0.0f);
        for (int step = 0; step < 80; ++step) {
            values.push_back(value);
            values.push_back(-value);
            value = std::nextafter(value, 1.0f);
        }
    }
    for (int exponent = -149; exponent <= 127; ++exponent) {
        const float power = std::ldexp(1.0f, exponent);
        for (float value : {power, std::nextafter(power, 0.0f), std::nextafter(power, FLT_MAX)}) {
            values.push_back(value);
            values.push_back(-value);
        }
    }
    return values;
}

TEST(FormatTickLines, MatchesPercentFOfEveryValueByteForByte)
{
    const std::vector<float> values = VariedFloats();
    ASSERT_GT(values.size(), 1000000u);
    if (Formatted(values) == Reference(values)) return;
    for (float value : values) ASSERT_EQ(Formatted({value}), Reference({value})) << std::hexfloat << value;
}

TEST(FormatTickLines, WritesNewestFirstWithCrLfAfterEveryLine)
{
    const struct {
        std::vector<float> series;
        std::string text;
    } cases[] = {
        {{10.5f, 11.0f, 10.75f}, "10.750000\r\n11.000000\r\n10.500000\r\n"},
        {{1234.56f}, "1234.560059\r\n"},
        {{-1.5f}, "-1.500000\r\n"},
        {{-0.0f, 0.0f}, "0.000000\r\n-0.000000\r\n"},
        {{0.0078125f, 0.0234375f}, "0.023438\r\n0.007812\r\n"},  // ties go to even
        {{-FLT_MAX}, "-340282346638528859811704183484516925440.000000\r\n"},
        {{}, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(Formatted(c.series), c.text);
    EXPECT_EQ(Formatted({-FLT_MAX}).size(), MaxExportLine);
}

// ---- Export files -----------------------------------------------------------

const std::string Separator(1, static_cast<char>(fs::path::preferred_separator));

class TickExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        RecordedReports().clear();
        FileNumber = 0;
        fs::create_directory("Stocks");
        SetFolder("Stocks" + Separator);
    }

    static void SetFolder(const std::string& folder)
    {
        ASSERT_LT(folder.size(), sizeof DestinationFolder);
        memset(DestinationFolder, 0, sizeof DestinationFolder);
        memcpy(DestinationFolder, folder.data(), folder.size());
    }

    static void AddStock(const char* symbol, const std::vector<float>& series)
    {
        strcpy(FileName[FileNumber], symbol);
        STOCKFILE& stock = StockFile[FileNumber];
        stock.FileSize = static_cast<int32_t>(series.size());
        std::copy(series.begin(), series.end(), stock.StockValues);
        ++FileNumber;
    }

    // The names in a folder, to see that nothing else was left there.
    static std::set<std::string> Names(const fs::path& folder)
    {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
        return names;
    }

    TempWorkingDir dir;
};

TEST_F(TickExport, WritesEveryStockToItsOwnFile)
{
    AddStock("IBM", {10.5f, 11.0f, 10.75f});
    AddStock("MSFT", {1234.56f});
    AddStock("NEG", {-1.5f});
    AddStock("NONE", {});
    ExportTickSeries();

    const std::string ibm = ReadFile("Stocks" + Separator + "IBM.txt");
    EXPECT_EQ(ibm, "10.750000\r\n11.000000\r\n10.500000\r\n");
    EXPECT_EQ(ibm.size(), 33u);
    EXPECT_EQ(ReadFile("Stocks" + Separator + "MSFT.txt"), "1234.560059\r\n");
    EXPECT_EQ(ReadFile("Stocks" + Separator + "NEG.txt"), "-1.500000\r\n");
    EXPECT_TRUE(fs::exists("Stocks" + Separator + "NONE.txt"));
    EXPECT_EQ(ReadFile("Stocks" + Separator + "NONE.txt"), "");
    EXPECT_EQ(Names("Stocks"), (std::set<std::string>{"IBM.txt", "MSFT.txt", "NEG.txt", "NONE.txt"}));
    EXPECT_TRUE(RecordedReports().empty());

    // Again with nothing new: the same bytes.
    ExportTickSeries();
    EXPECT_EQ(ReadFile("Stocks" + Separator + "IBM.txt"), ibm);
}

TEST_F(TickExport, TheFolderTextIsARawPrefix)
{
    const struct {
        const char* name;
        std::string folder;
        std::string file;
    } cases[] = {
        {"no separator", "pre", "preIBM.txt"},
        {"empty: the working directory", "", "IBM.txt"},
        {"with separator", "Stocks" + Separator, "Stocks" + Separator + "IBM.txt"},
    };
    AddStock("IBM", {2.5f});
    for (const auto& c : cases) {
        SetFolder(c.folder);
        ExportTickSeries();
        EXPECT_EQ(ReadFile(c.file), "2.500000\r\n") << c.name;
    }
    EXPECT_EQ(Names("."), (std::set<std::string>{"preIBM.txt", "IBM.txt", "Stocks"}));
    EXPECT_TRUE(RecordedReports().empty());
}

TEST_F(TickExport, AnEmptySeriesEmptiesAnEarlierExport)
{
    WriteFile("Stocks" + Separator + "IBM.txt", "1.000000\r\n");
    AddStock("IBM", {});
    ExportTickSeries();
    EXPECT_EQ(ReadFile("Stocks" + Separator + "IBM.txt"), "");
}

TEST_F(TickExport, ADuplicateSymbolIsWrittenTwiceTheSecondWins)
{
    AddStock("IBM", {1.0f});
    AddStock("IBM", {2.0f, 3.0f});
    ExportTickSeries();
    EXPECT_EQ(ReadFile("Stocks" + Separator + "IBM.txt"), "3.000000\r\n2.000000\r\n");
    EXPECT_TRUE(RecordedReports().empty());
}

TEST_F(TickExport, AnEmptyStockListWritesNothing)
{
    ExportTickSeries();
    EXPECT_TRUE(Names("Stocks").empty());
    EXPECT_TRUE(RecordedReports().empty());
}

TEST_F(TickExport, AFolderThatDoesNotExistFailsEveryFileAndIsToldOnce)
{
    SetFolder("Nowhere" + Separator);
    AddStock("IBM", {1.0f});
    AddStock("MSFT", {2.0f});
    AddStock("AAPL", {});
    ExportTickSeries();
    EXPECT_EQ(RecordedReports(),
              std::vector<std::string>{"Failed to write 3 files - first: Nowhere" + Separator + "IBM.txt"});
    EXPECT_EQ(Names("."), std::set<std::string>{"Stocks"});
}

TEST_F(TickExport, APathBeyondTheBufferIsSkippedNotCut)
{
    // "./" repeated names the working directory; with the symbol and ".txt"
    // the path needs more than 999 characters. Cut short, it would have named
    // a file such as "IBM.t" right here.
    std::string folder;
    while (folder.size() < 994) folder += "." + Separator;
    SetFolder(folder);
    AddStock("IBM", {1.0f});
    AddStock("MSFT", {2.0f});
    ExportTickSeries();
    EXPECT_EQ(RecordedReports(), std::vector<std::string>{"Failed to write 2 files - first: " + folder + "IBM.txt"});
    EXPECT_EQ(Names("."), std::set<std::string>{"Stocks"});
}

TEST_F(TickExport, OneFailingStockIsSkippedAndTheOthersAreWritten)
{
    // A folder stands where MSFT's file would go: it cannot be replaced.
    fs::create_directory("Stocks" + Separator + "MSFT.txt");
    AddStock("IBM", {1.0f});
    AddStock("MSFT", {2.0f});
    AddStock("AAPL", {3.0f});
    ExportTickSeries();
    EXPECT_EQ(RecordedReports(), std::vector<std::string>{"Failed to write 1 file - Stocks" + Separator + "MSFT.txt"});
    EXPECT_EQ(ReadFile("Stocks" + Separator + "IBM.txt"), "1.000000\r\n");
    EXPECT_EQ(ReadFile("Stocks" + Separator + "AAPL.txt"), "3.000000\r\n");
    EXPECT_TRUE(fs::is_directory("Stocks" + Separator + "MSFT.txt"));
    EXPECT_EQ(Names("Stocks"), (std::set<std::string>{"IBM.txt", "MSFT.txt", "AAPL.txt"}));
}

#ifdef _WIN32
// An earlier export that cannot be replaced, read-only or held open by
// another program, keeps its content: it is never truncated.
TEST_F(TickExport, AnEarlierExportThatCannotBeReplacedKeepsItsContent)
{
    const std::string ibm = "Stocks\\IBM.txt", msft = "Stocks\\MSFT.txt";
    WriteFile(ibm, "9.000000\r\n");
    WriteFile(msft, "8.000000\r\n");
    ASSERT_TRUE(SetFileAttributesA(ibm.c_str(), FILE_ATTRIBUTE_READONLY));
    HANDLE held = CreateFileA(msft.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    AddStock("IBM", {1.0f});
    AddStock("MSFT", {2.0f});
    AddStock("AAPL", {3.0f});
    ExportTickSeries();
    CloseHandle(held);
    SetFileAttributesA(ibm.c_str(), FILE_ATTRIBUTE_NORMAL);

    EXPECT_EQ(RecordedReports(), std::vector<std::string>{"Failed to write 2 files - first: Stocks\\IBM.txt"});
    EXPECT_EQ(ReadFile(ibm), "9.000000\r\n");
    EXPECT_EQ(ReadFile(msft), "8.000000\r\n");
    EXPECT_EQ(ReadFile("Stocks\\AAPL.txt"), "3.000000\r\n");
    EXPECT_EQ(Names("Stocks"), (std::set<std::string>{"IBM.txt", "MSFT.txt", "AAPL.txt"}));
}
#endif

}  // namespace
