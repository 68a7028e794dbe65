#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/stock_table.h"
#include "files/stock_list.h"
#include "support/recorded_reports.h"
#include "support/temp_dir.h"

namespace {

std::string Block(const std::string& symbol)
{
    return "@echo off\r\n wget.exe -q -O TempStocks\\" + symbol + ".csv \"http://" QUOTE_HOST
           "/d/quotes.csv?s=" + symbol + "&f=sl1d1t1c1ohgv&e=.csv\"\r\n";
}

std::string Script(const std::vector<std::string>& symbols)
{
    std::string script;
    for (const std::string& s : symbols) script += Block(s);
    return script + "delete run.bat";
}

std::vector<std::string> Table()
{
    std::vector<std::string> symbols;
    for (int i = 0; i < FileNumber; ++i) symbols.emplace_back(FileName[i]);
    return symbols;
}

class StockList : public ::testing::Test {
protected:
    void SetUp() override
    {
        FileNumber = 0;
        memset(FileName, 0, sizeof FileName);
        RecordedReports().clear();
    }
    TempWorkingDir dir;
};

TEST_F(StockList, ReadsSymbolsInOrderAndWritesOneBlockEach)
{
    const struct {
        const char* name;
        std::string list;
        std::vector<std::string> symbols;
    } cases[] = {
        {"two lines", "AAA BBB\nCCC\n", {"AAA", "BBB", "CCC"}},
        {"no final line break", "AAA BBB\nCCC", {"AAA", "BBB", "CCC"}},
        {"CR LF", "AAA BBB\r\nCCC\r\n", {"AAA", "BBB", "CCC"}},
        {"mixed whitespace", "\t AAA\v\fBBB \r\n\n\n  CCC  \n", {"AAA", "BBB", "CCC"}},
        {"empty", "", {}},
        {"whitespace only", " \n\r\n\t\n", {}},
        {"duplicate", "MSFT\nMSFT\n", {"MSFT", "MSFT"}},
        {"case and punctuation kept", "brk.b BF-B x_y =Z\n", {"brk.b", "BF-B", "x_y", "=Z"}},
        {"Ctrl-Z ends the list", "AAA\x1a" "BBB\n", {"AAA"}},
    };
    for (const auto& c : cases) {
        SetUp();
        WriteFile("Stock List.txt", c.list);
        EXPECT_TRUE(PrepairStockList()) << c.name;
        EXPECT_EQ(Table(), c.symbols) << c.name;
        EXPECT_EQ(ReadFile("Run.bat"), Script(c.symbols)) << c.name;
        EXPECT_TRUE(RecordedReports().empty()) << c.name;
    }
}

TEST_F(StockList, ScriptBytesForTwoSymbols)
{
    WriteFile("Stock List.txt", "IBM\nT\n");
    ASSERT_TRUE(PrepairStockList());
    const std::string script = ReadFile("Run.bat");
    EXPECT_EQ(script,
              "@echo off\r\n"
              " wget.exe -q -O TempStocks\\IBM.csv \"http://" QUOTE_HOST
              "/d/quotes.csv?s=IBM&f=sl1d1t1c1ohgv&e=.csv\"\r\n"
              "@echo off\r\n"
              " wget.exe -q -O TempStocks\\T.csv \"http://" QUOTE_HOST
              "/d/quotes.csv?s=T&f=sl1d1t1c1ohgv&e=.csv\"\r\n"
              "delete run.bat");
    // Every line but the trailer ends in CR LF; no bare LF anywhere.
    for (size_t i = 0; i < script.size(); ++i) {
        if (script[i] == '\n') {
            EXPECT_EQ(script[i - 1], '\r') << "at " << i;
        }
    }
}

TEST_F(StockList, MissingListIsReportedAndLeavesTheOldScript)
{
    WriteFile("Run.bat", "old script");
    FileNumber = 0;
    EXPECT_FALSE(PrepairStockList());
    EXPECT_EQ(FileNumber, 0);
    EXPECT_EQ(ReadFile("Run.bat"), "old script");
    ASSERT_EQ(RecordedReports().size(), 1u);
    EXPECT_EQ(RecordedReports()[0], "Failed to load - Stock List.txt");
}

TEST_F(StockList, UnsafeTokensAreSkippedAndReportedOnce)
{
    const std::string s99(99, 'A'), s100(100, 'B');
    WriteFile("Stock List.txt", "GOOD a&b c|d " + s99 + " " + s100 +
                                    " ..\\x e:f g/h %PATH% i^j <k> \"q\" \x01\x02 \xe9t\xe9 LAST\n");
    ASSERT_TRUE(PrepairStockList());
    EXPECT_EQ(Table(), (std::vector<std::string>{"GOOD", s99, "LAST"}));
    EXPECT_EQ(ReadFile("Run.bat"), Script({"GOOD", s99, "LAST"}));
    ASSERT_EQ(RecordedReports().size(), 1u);
    const std::string& text = RecordedReports()[0];
    EXPECT_NE(text.find("Skipped 12 entries - Stock List.txt"), std::string::npos) << text;
    EXPECT_NE(text.find("a&b, c|d, BBBBBBBBBBBBBBBBBBBBBBBB..., ..\\x, e:f, ..."), std::string::npos)
        << text;
}

TEST_F(StockList, KeepsTheFirstThousandSymbols)
{
    std::string list;
    std::vector<std::string> kept;
    for (int i = 0; i < 1005; ++i) {
        std::string symbol = "S" + std::to_string(i);
        list += symbol + "\n";
        if (i < MaxStockFiles) kept.push_back(symbol);
    }
    WriteFile("Stock List.txt", list);
    ASSERT_TRUE(PrepairStockList());
    EXPECT_EQ(FileNumber, MaxStockFiles);
    EXPECT_EQ(Table(), kept);
    EXPECT_EQ(ReadFile("Run.bat"), Script(kept));
    ASSERT_EQ(RecordedReports().size(), 1u);
    EXPECT_NE(RecordedReports()[0].find("Only 1000 stocks can be held: 5 more left out"),
              std::string::npos)
        << RecordedReports()[0];
}

TEST_F(StockList, ScriptThatCannotBeCreatedIsReportedAndTheTableStillLoads)
{
    WriteFile("Stock List.txt", "AAA BBB\n");
    std::filesystem::create_directory("Run.bat");
    EXPECT_FALSE(PrepairStockList());
    EXPECT_EQ(Table(), (std::vector<std::string>{"AAA", "BBB"}));
    ASSERT_EQ(RecordedReports().size(), 1u);
    EXPECT_EQ(RecordedReports()[0], "Failed to write - Run.bat");
}

}  // namespace
