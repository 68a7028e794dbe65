#include <cfloat>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include "core/stock_table.h"
#include "files/quote_file.h"
#include "support/temp_dir.h"

namespace {

// ---- Price texts ----------------------------------------------------------

TEST(ParsePrice, AcceptsSignDigitsPointAndExponentUpToTheFirstMisfit)
{
    const struct {
        const char* text;
        float price;
    } cases[] = {
        {"12.5", 12.5f},      {"+1.5", 1.5f},       {"-1.5", -1.5f},   {"2e1", 20.0f},
        {"2E+1", 20.0f},      {"25e-1", 2.5f},      {"12.5x", 12.5f},  {".5", 0.5f},
        {"5.", 5.0f},         {"-.25", -0.25f},     {"2e", 2.0f},      {"2e+", 2.0f},
        {"2e1.5", 20.0f},     {"1.2.3", 1.2f},      {"0x1p3", 0.0f},   {"7\"", 7.0f},
        {"007", 7.0f},        {"1e-50", 0.0f},      {"1234.56", 1234.56f},
        {"3.4028235e38", FLT_MAX},                  {"-3.4028235e38", -FLT_MAX},
        // One rounding from decimal to single precision, not two through double:
        // this text lies a hair above the midpoint of 1 and the float after it.
        {"1.000000059604644775390625000001", 1.00000011920928955078125f},
        {"1.000000059604644775390625", 1.0f},  // the midpoint itself: to even
    };
    for (const auto& c : cases) {
        float price = -99.0f;
        EXPECT_TRUE(ParsePrice(c.text, &price)) << c.text;
        EXPECT_EQ(price, c.price) << c.text;
    }
}

TEST(ParsePrice, NegativeZeroKeepsItsSign)
{
    float price = 1.0f;
    ASSERT_TRUE(ParsePrice("-0", &price));
    EXPECT_EQ(price, 0.0f);
    EXPECT_TRUE(std::signbit(price));
}

TEST(ParsePrice, RefusesTextsThatHoldNoFiniteNumber)
{
    const char* texts[] = {"",    "N/A",  "n/a",  "abc", "x1",       "+",        "-",        ".",
                           "+.",  "e5",   ".e1",  "nan", "NAN",      "inf",      "-inf",     "infinity",
                           "1e39", "-1e39", "3.4028236e38", "\"12.5\"", " 12.5", "--1", "+-1"};
    for (const char* text : texts) {
        float price = 42.0f;
        EXPECT_FALSE(ParsePrice(text, &price)) << '"' << text << '"';
        EXPECT_EQ(price, 42.0f) << '"' << text << '"';
    }
}

TEST(ParsePrice, TakesAtMostTheLimitOfMatchedCharacters)
{
    std::string fits = "1." + std::string(PriceTextLimit - 2, '5');
    std::string beyond = fits + "5";
    float price = 0;
    EXPECT_TRUE(ParsePrice(fits.c_str(), &price));
    EXPECT_FLOAT_EQ(price, 1.5555556f);
    EXPECT_FALSE(ParsePrice(beyond.c_str(), &price));
}

// ---- Tokens and their price texts -----------------------------------------

std::vector<std::string> PriceTexts(const std::vector<std::string>& pieces)
{
    std::vector<std::string> found;
    PriceTextScanner scanner;
    const auto add = [&](const char* text) { found.emplace_back(text); };
    for (const std::string& piece : pieces)
        if (!scanner.Scan(piece.data(), piece.size(), add)) return found;
    scanner.Finish(add);
    return found;
}

TEST(PriceTextScanner, TakesTheTextBetweenTheFirstTwoCommasOfEachToken)
{
    using Texts = std::vector<std::string>;
    const struct {
        const char* name;
        std::string text;
        Texts found;
    } cases[] = {
        {"reply line", "\"IBM\",12.5,\"1/2/2026\",\"4:00pm\",+0.5,12.0,12.9,11.8,100", {"12.5"}},
        {"no comma", "hello world", {}},
        {"adjacent commas", "a,,b", {""}},
        {"no second comma", "a,12.5", {"12.5"}},
        {"no second comma, then blank", "a,12.5\n", {"12.5"}},
        {"comma last", "a,", {""}},
        {"blank between two parts", "a,1,b c,2,d", {"1", "2"}},
        {"every line ending", "a,1,b\r\nc,2,d\nx\te,3,f\v\fg,4,", {"1", "2", "3", "4"}},
        {"Ctrl-Z ends the text", "a,1,b\n\x1a" "c,2,d\n", {"1"}},
        {"Ctrl-Z inside a price", "a,12\x1a" "3,", {"12"}},
        {"empty", "", {}},
        {"whitespace only", " \r\n\t\n\n", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(PriceTexts({c.text}), c.found) << c.name;
}

TEST(PriceTextScanner, APieceBoundaryChangesNothing)
{
    const std::string text = "\"A\",10.25,x\r\n\"B\",7,y z,8";
    const std::vector<std::string> whole = PriceTexts({text});
    ASSERT_EQ(whole, (std::vector<std::string>{"10.25", "7", "8"}));
    for (size_t cut = 0; cut <= text.size(); ++cut)
        EXPECT_EQ(PriceTexts({text.substr(0, cut), text.substr(cut)}), whole) << "cut at " << cut;
}

TEST(PriceTextScanner, ALongTokenStaysOneToken)
{
    const std::string filler(1500, 'x');
    // The price text comes from the whole token, however long.
    EXPECT_EQ(PriceTexts({filler + ",12.5,"}), std::vector<std::string>{"12.5"});
    // The token's tail after its second comma is no new token.
    EXPECT_EQ(PriceTexts({"a,1.5," + filler + ",2.5,"}), std::vector<std::string>{"1.5"});
    // A price text is kept up to the limit.
    const std::vector<std::string> cut = PriceTexts({"a," + std::string(1200, '7') + ",b"});
    ASSERT_EQ(cut.size(), 1u);
    EXPECT_EQ(cut[0], std::string(PriceTextLimit, '7'));
}

// ---- Loading a quote file -------------------------------------------------

class QuoteFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directory("TempStocks");
        stock.FileSize = 0;
    }

    // The quote file of the symbol IBM, as the reader finds it.
    static std::string Path() { return "TempStocks\\IBM.csv"; }

    bool Load()
    {
        char symbol[] = "IBM";
        return stock.Load(symbol);
    }

    std::vector<float> Series() const
    {
        return std::vector<float>(stock.StockValues, stock.StockValues + stock.FileSize);
    }

    TempWorkingDir dir;
    static STOCKFILE stock;
};

STOCKFILE QuoteFile::stock;

const std::string Reply = "\"IBM\",12.5,\"1/2/2026\",\"4:00pm\",+0.50,12.00,12.90,11.80,100";

TEST_F(QuoteFile, AppendsOnePricePerQualifyingToken)
{
    const struct {
        const char* name;
        std::string content;
        std::vector<float> ticks;
    } cases[] = {
        {"reply line", Reply, {12.5f}},
        {"reply and LF", Reply + "\n", {12.5f}},
        {"reply and CR LF", Reply + "\r\n", {12.5f}},
        {"reply and blank lines", Reply + "\r\n\r\n\n  \n", {12.5f}},
        {"two lines in file order", "\"A\",10.5,x\r\n\"A\",11,y\r\n", {10.5f, 11.0f}},
        {"no comma", "IBM 12.5\r\n", {}},
        {"sign and exponent", "a,+1.5,b\r\nc,2e1,d\r\n", {1.5f, 20.0f}},
        {"conversion stops", "a,12.5x,b", {12.5f}},
        {"blank between two parts", "a,1,b c,2,d", {1.0f, 2.0f}},
        {"first comma without second", "a,12.5\r\n", {12.5f}},
        {"empty file", "", {}},
        {"whitespace only", " \r\n\t\r\n", {}},
        {"Ctrl-Z ends the file", "a,1,b\r\n\x1a" "c,2,d\r\n", {1.0f}},
        {"long token", std::string(1500, 'x') + ",7.25,x " + "a,8," + std::string(1200, 'y'), {7.25f, 8.0f}},
        {"many lines", [] {
             std::string lines;
             for (int n = 0; n < 2000; ++n) lines += "a," + std::to_string(n) + ",b\r\n";
             return lines;
         }(), [] {
             std::vector<float> ticks;
             for (int n = 0; n < 2000; ++n) ticks.push_back(static_cast<float>(n));
             return ticks;
         }()},
    };
    for (const auto& c : cases) {
        stock.FileSize = 0;
        WriteFile(Path(), c.content);
        EXPECT_TRUE(Load()) << c.name;
        EXPECT_EQ(Series(), c.ticks) << c.name;
    }
}

TEST_F(QuoteFile, APriceTextThatIsNoNumberAppendsNothing)
{
    // Slot 0 holds an old price, as after a clearing: it must not come back.
    stock.StockValues[0] = 99.0f;
    const char* texts[] = {"", "N/A", "abc", "nan", "inf", "-inf", "1e39", "+", "."};
    for (const char* text : texts) {
        stock.FileSize = 0;
        WriteFile(Path(), std::string("\"IBM\",") + text + ",\"1/2/2026\"\r\n");
        EXPECT_TRUE(Load()) << text;
        EXPECT_EQ(stock.FileSize, 0) << text;
    }
    // A bad price between two good ones leaves just the good ones.
    WriteFile(Path(), "a,1,b\r\na,N/A,b\r\na,,b\r\na,3,b\r\n");
    EXPECT_TRUE(Load());
    EXPECT_EQ(Series(), (std::vector<float>{1.0f, 3.0f}));
}

TEST_F(QuoteFile, AppendsAfterWhatTheSeriesHolds)
{
    stock.StockValues[0] = 1.0f;
    stock.StockValues[1] = 2.0f;
    stock.FileSize = 2;
    WriteFile(Path(), Reply);
    EXPECT_TRUE(Load());
    EXPECT_EQ(Series(), (std::vector<float>{1.0f, 2.0f, 12.5f}));
}

TEST_F(QuoteFile, MissingOrUnreadableFileGivesFalseAndNoTick)
{
    stock.FileSize = 1;
    stock.StockValues[0] = 5.0f;
    EXPECT_FALSE(Load()) << "missing";
    EXPECT_EQ(stock.FileSize, 1);

    // A folder of the quote file's name exists but is no file to read.
    std::filesystem::create_directory(Path());
    EXPECT_FALSE(Load()) << "folder";
    EXPECT_EQ(stock.FileSize, 1);
}

#ifdef _WIN32
TEST_F(QuoteFile, AFileHeldOpenWithoutSharingGivesFalse)
{
    WriteFile(Path(), Reply);
    HANDLE held = CreateFileA(Path().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(Load());
    EXPECT_EQ(stock.FileSize, 0);
    CloseHandle(held);
    EXPECT_TRUE(Load());
    EXPECT_EQ(Series(), std::vector<float>{12.5f});
}
#endif

TEST_F(QuoteFile, AFullSeriesKeepsTheNewestPricesOldestFirst)
{
    for (int n = 0; n < MaxTicks; ++n) stock.StockValues[n] = static_cast<float>(n);
    stock.FileSize = MaxTicks;
    WriteFile(Path(), "a,-1.5,b\r\na,-2.5,b\r\n");
    EXPECT_TRUE(Load());
    ASSERT_EQ(stock.FileSize, MaxTicks);
    EXPECT_EQ(stock.StockValues[0], 2.0f);
    EXPECT_EQ(stock.StockValues[1], 3.0f);
    EXPECT_EQ(stock.StockValues[MaxTicks - 3], static_cast<float>(MaxTicks - 1));
    EXPECT_EQ(stock.StockValues[MaxTicks - 2], -1.5f);
    EXPECT_EQ(stock.StockValues[MaxTicks - 1], -2.5f);

    // One short of full: the first price fills it, the second pushes one out.
    stock.FileSize = MaxTicks - 1;
    WriteFile(Path(), "a,7,b a,8,b");
    EXPECT_TRUE(Load());
    ASSERT_EQ(stock.FileSize, MaxTicks);
    EXPECT_EQ(stock.StockValues[0], 3.0f);
    EXPECT_EQ(stock.StockValues[MaxTicks - 2], 7.0f);
    EXPECT_EQ(stock.StockValues[MaxTicks - 1], 8.0f);
}

}  // namespace
