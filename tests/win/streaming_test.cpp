// The real program streaming end to end: its download script runs the
// downloader against the quote service, which answers scripted replies on the
// port that the script asks, and the exported files are checked byte for byte.
#include <winsock2.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../../res/resource.h"
#include "program.h"

namespace fs = std::filesystem;

namespace {

// The port of QUOTE_HOST, which the download script asks.
int QuotePort()
{
    const std::string host = QUOTE_HOST;
    const size_t colon = host.rfind(':');
    return colon == std::string::npos ? 80 : atoi(host.c_str() + colon + 1);
}

// True when something accepts connections on 127.0.0.1 at the port.
bool Accepts(int port)
{
    SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool accepted = connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    closesocket(probe);
    return accepted;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.push_back(line);
    return lines;
}

// The quote service answering the replies of a script (format in
// tools/quote_service/script.h), logging to "service.log" in the folder.
class QuoteService {
public:
    QuoteService(const fs::path& folder, const std::string& replies) : log_(folder / "service.log")
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        if (Accepts(QuotePort())) {
            ADD_FAILURE() << "port " << QuotePort() << " of QUOTE_HOST is taken by another program";
            return;
        }
        WriteFile(folder / "replies.txt", replies);
        std::string command = "\"" + (BinDir() / "quote_service.exe").string() + "\" --port " +
                              std::to_string(QuotePort()) + " --script \"" + (folder / "replies.txt").string() +
                              "\" --log \"" + log_.string() + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info = {};
        if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                            &startup, &info)) {
            ADD_FAILURE() << "cannot start " << command << ": error " << GetLastError();
            return;
        }
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        const bool listening = WaitFor(
            [&] { return Accepts(QuotePort()) || WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; }, 15000);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process_, &code);
        if (!listening || code != STILL_ACTIVE)
            ADD_FAILURE() << "the quote service does not listen on port " << QuotePort() << " (exit code " << code
                          << ")";
    }

    ~QuoteService()
    {
        if (process_) {
            TerminateProcess(process_, 0);
            WaitForSingleObject(process_, 5000);
            CloseHandle(process_);
        }
        WSACleanup();
    }

    QuoteService(const QuoteService&) = delete;
    QuoteService& operator=(const QuoteService&) = delete;

    bool ok() const { return process_ != nullptr && !::testing::Test::HasFailure(); }

    // One line per request: TIME STATUS PATH SYMBOL=VALUE.
    std::vector<std::string> Log() const { return Lines(ReadFile(log_)); }

    bool WaitForRequests(size_t count, DWORD timeoutMs) const
    {
        return WaitFor([&] { return Log().size() >= count; }, timeoutMs);
    }

private:
    fs::path log_;
    HANDLE process_ = nullptr;
};

// What a request line of the log says after its time stamp.
std::string Request(const std::string& line)
{
    return line.substr(line.find(' ') + 1);
}

// Streams every second, whatever the hour.
void StartStreaming(const Program& program)
{
    program.SetItemText(IDC_START_HOUR, "1");
    program.SetItemText(IDC_STOP_HOUR, "24");
    program.SetItemText(IDC_FREQUENCY, "1");
    program.Press(IDC_START);
}

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
