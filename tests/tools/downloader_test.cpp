// wget.exe against the real quote service (scripted), both started as child
// processes from the folder of this test, in a fresh working folder each.
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

const struct Winsock {
    Winsock()
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~Winsock() { WSACleanup(); }
} winsock;

fs::path BinDir()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return fs::path(path).parent_path();
}

std::string QuoteUrl(int port, const std::string& symbol)
{
    return "http://127.0.0.1:" + std::to_string(port) + "/d/quotes.csv?s=" + symbol + "&f=sl1d1t1c1ohgv&e=.csv";
}

sockaddr_in Loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<u_short>(port));
    return address;
}

// A port that nothing listens on at the moment.
int FreePort()
{
    const SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = Loopback(0);
    int size = sizeof address;
    bind(probe, reinterpret_cast<sockaddr*>(&address), size);
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
    closesocket(probe);
    return ntohs(address.sin_port);
}

bool Accepts(int port)
{
    const SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    u_long non_blocking = 1;
    ioctlsocket(probe, FIONBIO, &non_blocking);
    const sockaddr_in address = Loopback(port);
    connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    fd_set writable;
    FD_ZERO(&writable);
    FD_SET(probe, &writable);
    timeval timeout{0, 200000};
    int error = 1;
    int size = sizeof error;
    if (select(0, nullptr, &writable, nullptr, &timeout) == 1) {
        getsockopt(probe, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size);
    }
    closesocket(probe);
    return error == 0;
}

class Process {
public:
    explicit Process(const std::wstring& command_line)
    {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring writable = command_line;
        EXPECT_TRUE(CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                                   nullptr, &startup, &info_))
            << "cannot start " << fs::path(command_line).string();
        CloseHandle(info_.hThread);
    }
    ~Process()
    {
        if (info_.hProcess != nullptr) {
            TerminateProcess(info_.hProcess, 1);
            WaitForSingleObject(info_.hProcess, INFINITE);
            CloseHandle(info_.hProcess);
        }
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // The exit code once the process ends within `limit`, else STILL_ACTIVE.
    DWORD Wait(std::chrono::milliseconds limit) const
    {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(limit.count())) == WAIT_OBJECT_0) {
            GetExitCodeProcess(info_.hProcess, &code);
        }
        return code;
    }

private:
    PROCESS_INFORMATION info_{};
};

std::wstring Quoted(const fs::path& path)
{
    return L"\"" + path.wstring() + L"\"";
}

struct Finished {
    DWORD code;
    Clock::duration took;
};

Finished RunToEnd(const std::wstring& command_line)
{
    const Clock::time_point start = Clock::now();
    const Process process(command_line);
    const DWORD code = process.Wait(30s);
    EXPECT_NE(code, STILL_ACTIVE) << "still running after 30 s";
    return {code, Clock::now() - start};
}

Finished Wget(const std::string& url, const std::string& output = "TempStocks\\A.csv")
{
    const std::string arguments = " -q -O " + output + " \"" + url + "\"";
    return RunToEnd(Quoted(BinDir() / "wget.exe") + std::wstring(arguments.begin(), arguments.end()));
}

std::vector<std::string> FilesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

// quote_service.exe answering `script` on a free port, logging to
// service.log in the working folder.
class Service {
public:
    explicit Service(const std::string& script)
    {
        WriteFile("script.txt", script);
        for (int attempt = 0; attempt < 5 && !process_; ++attempt) {
            port_ = FreePort();
            const std::wstring options =
                L" --script script.txt --log service.log --port " + std::to_wstring(port_);
            auto process = std::make_unique<Process>(Quoted(BinDir() / "quote_service.exe") + options);
            const Clock::time_point deadline = Clock::now() + 10s;
            while (!Accepts(port_) && process->Wait(10ms) == STILL_ACTIVE && Clock::now() < deadline) {
            }
            if (Accepts(port_)) {
                process_ = std::move(process);
            }
        }
        EXPECT_TRUE(process_) << "quote_service.exe did not start";
    }

    int port() const { return port_; }

    // The log's lines without their time stamps, which must be well formed.
    std::vector<std::string> Log() const
    {
        std::vector<std::string> lines;
        std::istringstream log(ReadFile("service.log"));
        const std::regex stamped(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3} (.*))");
        for (std::string line; std::getline(log, line);) {
            std::smatch match;
            EXPECT_TRUE(std::regex_match(line, match, stamped)) << line;
            lines.push_back(match[1]);
        }
        return lines;
    }

private:
    int port_ = 0;
    std::unique_ptr<Process> process_;
};

class DownloaderTest : public ::testing::Test {
protected:
    DownloaderTest() { fs::create_directory("TempStocks"); }

    TempWorkingDir folder_;
};

TEST_F(DownloaderTest, WritesExactlyTheBodyOfEachReply)
{
    const Service service("A 12.5\n"
                          "B na\n"
                          "C garbage <html>busy, try later</html>\n"
                          "D empty\n"
                          "E delay 1500 3.75\n");
    const char* const date_time = R"("\d{1,2}/\d{1,2}/\d{4}","\d{1,2}:\d\d[ap]m")";
    const struct {
        const char* symbol;
        std::string body;
    } cases[] = {
        {"A", std::string(R"("A",12\.5,)") + date_time + R"(,\+0\.00,12\.50,12\.50,12\.50,100\r\n)"},
        {"B", R"("B",N/A,"N/A","N/A",N/A,N/A,N/A,N/A,N/A\r\n)"},
        {"C", "<html>busy, try later</html>"},
        {"D", ""},
        {"E", std::string(R"("E",3\.75,)") + date_time + R"(,\+0\.00,3\.75,3\.75,3\.75,100\r\n)"},
    };
    for (const auto& c : cases) {
        const std::string file = std::string("TempStocks\\") + c.symbol + ".csv";
        WriteFile(file, "an older reply");
        EXPECT_EQ(Wget(QuoteUrl(service.port(), c.symbol), file).code, 0u) << c.symbol;
        EXPECT_TRUE(std::regex_match(ReadFile(file), std::regex(c.body))) << c.symbol << ": " << ReadFile(file);
        EXPECT_EQ(FilesIn("TempStocks"), std::vector<std::string>{std::string(c.symbol) + ".csv"});
        fs::remove(file);
    }
    EXPECT_EQ(service.Log(), (std::vector<std::string>{
                                 "200 /d/quotes.csv A=12.5",
                                 "200 /d/quotes.csv B=N/A",
                                 "200 /d/quotes.csv C=garbage",
                                 "200 /d/quotes.csv D=empty",
                                 "200 /d/quotes.csv E=3.75",
                             }));
}

TEST_F(DownloaderTest, ErrorRepliesExitEightAndLeaveNoFile)
{
    const Service service("A error 503\nB 1\n");
    const std::string base = "http://127.0.0.1:" + std::to_string(service.port());
    const std::string urls[] = {
        QuoteUrl(service.port(), "A"),
        QuoteUrl(service.port(), "C"),
        base + "/d/other.csv?s=B",
        base + "/d/quotes.csv?f=sl1d1t1c1ohgv&e=.csv",
    };
    for (const std::string& url : urls) {
        WriteFile("TempStocks\\A.csv", "an older reply");
        EXPECT_EQ(Wget(url).code, 8u) << url;
        EXPECT_TRUE(FilesIn("TempStocks").empty()) << url;
    }
    EXPECT_EQ(service.Log(), (std::vector<std::string>{
                                 "503 /d/quotes.csv A=error",
                                 "404 /d/quotes.csv C=none",
                                 "404 /d/other.csv",
                                 "400 /d/quotes.csv",
                             }));
}

TEST_F(DownloaderTest, RefusedConnectionExitsFourAtOnce)
{
    const Finished finished = Wget(QuoteUrl(FreePort(), "A"));
    EXPECT_EQ(finished.code, 4u);
    EXPECT_LT(finished.took, 4s);
    EXPECT_TRUE(FilesIn("TempStocks").empty());
}

TEST_F(DownloaderTest, StalledReplyIsGivenUpAfterTheReadTimeout)
{
    const Service service("A delay 30000 1.5\n");
    const Finished finished = Wget(QuoteUrl(service.port(), "A"));
    EXPECT_EQ(finished.code, 4u);
    EXPECT_GT(finished.took, 4500ms);
    EXPECT_LT(finished.took, 9s);
    EXPECT_TRUE(FilesIn("TempStocks").empty());
    EXPECT_EQ(service.Log(), std::vector<std::string>{"200 /d/quotes.csv A=1.5"});
}

// A server that never stops sending: one byte every 400 ms.
class TricklingServer {
public:
    TricklingServer() : port_(FreePort()), listener_(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP))
    {
        const sockaddr_in address = Loopback(port_);
        EXPECT_EQ(bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        listen(listener_, 1);
        thread_ = std::thread([this] {
            const SOCKET client = accept(listener_, nullptr, nullptr);
            char request[1024];
            recv(client, request, sizeof request, 0);
            const std::string head = "HTTP/1.0 200 OK\r\n\r\n";
            send(client, head.data(), static_cast<int>(head.size()), 0);
            for (int bytes = 0; !stop_ && bytes < 100 && send(client, "x", 1, 0) == 1; ++bytes) {
                std::this_thread::sleep_for(400ms);
            }
            closesocket(client);
        });
    }
    ~TricklingServer()
    {
        stop_ = true;
        closesocket(listener_);
        thread_.join();
    }

    int port() const { return port_; }

private:
    int port_;
    SOCKET listener_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

TEST_F(DownloaderTest, EndlessReplyIsCutAtTheTotalTimeLimit)
{
    const TricklingServer server;
    const Finished finished = Wget(QuoteUrl(server.port(), "A"));
    EXPECT_EQ(finished.code, 4u);
    EXPECT_GT(finished.took, 9500ms);
    EXPECT_LT(finished.took, 14s);
    EXPECT_TRUE(FilesIn("TempStocks").empty());
}

TEST_F(DownloaderTest, BadCommandLineExitsTwoAndAnUnwritableFileThree)
{
    const Service service("A 1\n");
    const std::wstring wget = Quoted(BinDir() / "wget.exe");
    const std::string url = QuoteUrl(service.port(), "A");
    const std::wstring wide_url(url.begin(), url.end());
    const struct {
        std::wstring arguments;
        DWORD code;
    } cases[] = {
        {L" -q \"" + wide_url + L"\"", 2},
        {L" -q -O TempStocks\\A.csv", 2},
        {L" -q -O TempStocks\\A.csv --tries=1 \"" + wide_url + L"\"", 2},
        {L" -q -O TempStocks\\A.csv https://127.0.0.1/d/quotes.csv", 2},
        {L" -q -O NoSuchFolder\\A.csv \"" + wide_url + L"\"", 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RunToEnd(wget + c.arguments).code, c.code) << fs::path(c.arguments).string();
    }
    EXPECT_TRUE(FilesIn("TempStocks").empty());
    EXPECT_EQ(service.Log(), std::vector<std::string>{"200 /d/quotes.csv A=1"});
}

// The price as Quorvane reads it: between the first and second comma.
std::string PriceIn(const std::string& file)
{
    const std::string text = ReadFile(file);
    const std::size_t first = text.find(',');
    const std::size_t second = text.find(',', first + 1);
    return second == std::string::npos ? "no price" : text.substr(first + 1, second - first - 1);
}

TEST_F(DownloaderTest, RunBatFetchesEachSymbolThroughCmd)
{
    const Service service("IBM 101.25\nMSFT 55\nIBM 101.5\nMSFT error 500\n");
    fs::copy_file(BinDir() / "wget.exe", "wget.exe");
    std::string script;
    for (const char* symbol : {"IBM", "MSFT"}) {
        script += std::string("@echo off\r\n wget.exe -q -O TempStocks\\") + symbol + ".csv \"" +
                  QuoteUrl(service.port(), symbol) + "\"\r\n";
    }
    WriteFile("Run.bat", script + "delete run.bat");

    const struct {
        const char* ibm;
        const char* msft;
    } cycles[] = {{"101.25", "55"}, {"101.5", "no price"}};
    for (const auto& cycle : cycles) {
        fs::remove("TempStocks\\IBM.csv");
        fs::remove("TempStocks\\MSFT.csv");
        RunToEnd(L"cmd.exe /c Run.bat");
        EXPECT_EQ(PriceIn("TempStocks\\IBM.csv"), cycle.ibm);
        EXPECT_EQ(PriceIn("TempStocks\\MSFT.csv"), cycle.msft);
    }
    EXPECT_FALSE(fs::exists("TempStocks\\MSFT.csv"));
    EXPECT_EQ(service.Log(), (std::vector<std::string>{
                                 "200 /d/quotes.csv IBM=101.25",
                                 "200 /d/quotes.csv MSFT=55",
                                 "200 /d/quotes.csv IBM=101.5",
                                 "500 /d/quotes.csv MSFT=error",
                             }));
}

}  // namespace
