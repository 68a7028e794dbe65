// The real program streaming end to end: its download script runs the
// downloader against the quote service, which answers scripted replies on the
// port that the script asks, and the exported files are checked byte for byte.
#include <windows.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../../res/resource.h"
#include "program.h"
#include "quote_service.h"

namespace fs = std::filesystem;

namespace {

TEST(Streaming, EveryExportFileHoldsTheScriptedPricesNewestFirst)
{
    WorkingFolder folder("IBM MSFT\r\nAAPL\r\n");
    // MSFT's second reply has no price: that cycle gives MSFT no tick. After
    // the third cycle every request fails, and no further tick comes.
    QuoteService service(folder.path(),
                         "IBM 101.25\r\nIBM 102.5\r\nIBM 103.75\r\n"
                         "MSFT 250.125\r\nMSFT na\r\nMSFT 251.5\r\n"
                         "AAPL 1234.56\r\nAAPL 11\r\nAAPL 10.75\r\n");
    ASSERT_TRUE(service.ok());
    Program program(folder.path());
    ASSERT_NE(program.Dialog(), nullptr);
    StartStreaming(program);

    // The fourth cycle's first request shows that the third has loaded.
    ASSERT_TRUE(service.WaitForRequests(10, 90000)) << service.Log().size() << " requests";
    program.Press(IDC_OUTPUT);

    const std::vector<std::string> log = service.Log();
    const char* const answered[] = {
        "200 /d/quotes.csv IBM=101.25", "200 /d/quotes.csv MSFT=250.125", "200 /d/quotes.csv AAPL=1234.56",
        "200 /d/quotes.csv IBM=102.5",  "200 /d/quotes.csv MSFT=N/A",     "200 /d/quotes.csv AAPL=11",
        "200 /d/quotes.csv IBM=103.75", "200 /d/quotes.csv MSFT=251.5",   "200 /d/quotes.csv AAPL=10.75",
        "404 /d/quotes.csv IBM=none",
    };
    for (size_t n = 0; n < std::size(answered); ++n) EXPECT_EQ(Request(log[n]), answered[n]) << "request " << n;

    EXPECT_EQ(folder.Read("Stocks\\IBM.txt"), "103.750000\r\n102.500000\r\n101.250000\r\n");
    EXPECT_EQ(folder.Read("Stocks\\MSFT.txt"), "251.500000\r\n250.125000\r\n");
    EXPECT_EQ(folder.Read("Stocks\\AAPL.txt"), "10.750000\r\n11.000000\r\n1234.560059\r\n");
    EXPECT_EQ(program.WaitForWindow("#32770", "Error", 0), nullptr) << "no message: every file was written";
}

TEST(Streaming, AChangedIntervalClearsEverySeries)
{
    WorkingFolder folder("IBM MSFT\r\nAAPL\r\n");
    QuoteService service(folder.path(),
                         "IBM 1.5\r\nIBM 2.5\r\nMSFT 3.5\r\nMSFT 4.5\r\nAAPL 5.5\r\nAAPL 6.5\r\n");
    ASSERT_TRUE(service.ok());
    Program program(folder.path());
    ASSERT_NE(program.Dialog(), nullptr);
    StartStreaming(program);
    ASSERT_TRUE(service.WaitForRequests(7, 90000)) << service.Log().size() << " requests";

    program.Press(IDC_OUTPUT);
    ASSERT_EQ(folder.Read("Stocks\\IBM.txt"), "2.500000\r\n1.500000\r\n");
    ASSERT_EQ(folder.Read("Stocks\\MSFT.txt"), "4.500000\r\n3.500000\r\n");
    ASSERT_EQ(folder.Read("Stocks\\AAPL.txt"), "6.500000\r\n5.500000\r\n");

    // The next frame pass of the main loop reads the new interval and clears
    // the series. It comes once a cycle that may be running has ended; the
    // export must not read the interval first, or no change would be seen.
    program.SetItemText(IDC_FREQUENCY, "600");
    Sleep(4000);
    program.Press(IDC_OUTPUT);
    EXPECT_EQ(folder.Read("Stocks\\IBM.txt"), "");
    EXPECT_EQ(folder.Read("Stocks\\MSFT.txt"), "");
    EXPECT_EQ(folder.Read("Stocks\\AAPL.txt"), "");
    EXPECT_TRUE(fs::exists(folder.path() / "Stocks" / "IBM.txt"));
}

}  // namespace
