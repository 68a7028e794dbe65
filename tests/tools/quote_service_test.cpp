// The Linux build of quote_service, started as a child process from the
// folder of this test and asked over HTTP on 127.0.0.1.
#include "support/temp_dir.h"

#include <httplib.h>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <memory>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const char* const kQuery = "&f=sl1d1t1c1ohgv&e=.csv";

fs::path ServiceBinary()
{
    return fs::read_symlink("/proc/self/exe").parent_path() / "quote_service";
}

// A port that nothing listens on at the moment.
int FreePort()
{
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    bind(probe, reinterpret_cast<sockaddr*>(&address), size);
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
    close(probe);
    return ntohs(address.sin_port);
}

bool Accepts(int port)
{
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    const bool accepted = connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(probe);
    return accepted;
}

// A child process, killed at the end if still running.
class Child {
public:
    explicit Child(const std::vector<std::string>& args)
    {
        std::vector<char*> argv;
        for (const std::string& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        EXPECT_EQ(posix_spawn(&pid_, argv[0], nullptr, nullptr, argv.data(), environ), 0);
    }
    ~Child()
    {
        if (!exit_status_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    pid_t pid() const { return pid_; }

    // The exit status once the process ends within `limit`, else nullopt.
    std::optional<int> WaitForExit(std::chrono::milliseconds limit)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!exit_status_) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                exit_status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            } else if (std::chrono::steady_clock::now() >= deadline) {
                break;
            } else {
                std::this_thread::sleep_for(10ms);
            }
        }
        return exit_status_;
    }

private:
    pid_t pid_ = 0;
    std::optional<int> exit_status_;
};

// quote_service with the given options on a free port, logging to
// service.log in the test's folder.
class Service {
public:
    explicit Service(const std::vector<std::string>& options)
    {
        for (int attempt = 0; attempt < 5 && !process_; ++attempt) {
            port_ = FreePort();
            std::vector<std::string> args = {ServiceBinary().string(), "--port", std::to_string(port_), "--log",
                                             "service.log"};
            args.insert(args.end(), options.begin(), options.end());
            auto process = std::make_unique<Child>(args);
            const auto deadline = std::chrono::steady_clock::now() + 10s;
            while (!Accepts(port_) && !process->WaitForExit(10ms) && std::chrono::steady_clock::now() < deadline) {
            }
            if (Accepts(port_)) {
                process_ = std::move(process);
            }
        }
        EXPECT_TRUE(process_) << "quote_service did not start";
    }

    int port() const { return port_; }
    Child& process() { return *process_; }

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
    std::unique_ptr<Child> process_;
};

class QuoteServiceTest : public ::testing::Test {
protected:
    TempWorkingDir folder_;
};

TEST_F(QuoteServiceTest, AnswersScriptedRepliesAndLogsEachRequest)
{
    WriteFile("script.txt", "IBM 12.5\nIBM error 503\nMSFT na\n");
    Service service({"--script", "script.txt"});
    httplib::Client client("127.0.0.1", service.port());

    const struct {
        std::string target;
        int status;
        const char* body;
    } requests[] = {
        {std::string("/d/quotes.csv?s=IBM") + kQuery, 200,
         R"("IBM",12\.5,"\d{1,2}/\d{1,2}/\d{4}","\d{1,2}:\d\d[ap]m",\+0\.00,12\.50,12\.50,12\.50,100\r\n)"},
        {std::string("/d/quotes.csv?s=MSFT") + kQuery, 200, R"("MSFT",N/A,"N/A","N/A",N/A,N/A,N/A,N/A,N/A\r\n)"},
        {std::string("/d/quotes.csv?s=IBM") + kQuery, 503, R"(error 503\r\n)"},
        {std::string("/d/quotes.csv?s=IBM") + kQuery, 404, R"(error 404\r\n)"},
        {"/d/other.csv?s=IBM", 404, R"(not found\r\n)"},
        {std::string("/d/quotes.csv?") + (kQuery + 1), 400, R"(no symbol: ask for s=SYMBOL\r\n)"},
    };
    for (const auto& r : requests) {
        const httplib::Result result = client.Get(r.target.c_str());
        ASSERT_TRUE(result) << r.target;
        EXPECT_EQ(result->status, r.status) << r.target;
        EXPECT_TRUE(std::regex_match(result->body, std::regex(r.body))) << r.target << ": " << result->body;
    }
    EXPECT_EQ(service.Log(), (std::vector<std::string>{
                                 "200 /d/quotes.csv IBM=12.5",
                                 "200 /d/quotes.csv MSFT=N/A",
                                 "503 /d/quotes.csv IBM=error",
                                 "404 /d/quotes.csv IBM=none",
                                 "404 /d/other.csv",
                                 "400 /d/quotes.csv",
                             }));
}

TEST_F(QuoteServiceTest, SimulatesAMarketWithoutAScript)
{
    Service service({"--seed", "5"});
    httplib::Client client("127.0.0.1", service.port());
    const httplib::Result result = client.Get((std::string("/d/quotes.csv?s=IBM+MSFT") + kQuery).c_str());
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    const std::regex lines(R"("IBM",(\d+\.\d\d),"[^"]+","[^"]+",[+-]\d+\.\d\d,[\d.]+,[\d.]+,[\d.]+,\d+\r\n)"
                           R"("MSFT",(\d+\.\d\d),"[^"]+","[^"]+",[+-]\d+\.\d\d,[\d.]+,[\d.]+,[\d.]+,\d+\r\n)");
    std::smatch prices;
    ASSERT_TRUE(std::regex_match(result->body, prices, lines)) << result->body;
    EXPECT_EQ(service.Log(), std::vector<std::string>{"200 /d/quotes.csv IBM=" + prices[1].str() +
                                                      " MSFT=" + prices[2].str()});
}

TEST_F(QuoteServiceTest, StopsAtOnceOnSigintEvenWithAReplyWaiting)
{
    WriteFile("script.txt", "IBM delay 30000 7.25\n");
    Service service({"--script", "script.txt"});
    std::future<httplib::Result> waiting = std::async(std::launch::async, [&] {
        httplib::Client client("127.0.0.1", service.port());
        return client.Get("/d/quotes.csv?s=IBM");
    });
    const auto asked = std::chrono::steady_clock::now() + 10s;
    while (service.Log().empty() && std::chrono::steady_clock::now() < asked) {
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_EQ(service.Log(), std::vector<std::string>{"200 /d/quotes.csv IBM=7.25"});
    const auto start = std::chrono::steady_clock::now();
    kill(service.process().pid(), SIGINT);
    EXPECT_EQ(service.process().WaitForExit(5s), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    const httplib::Result result = waiting.get();
    ASSERT_TRUE(result);
    EXPECT_EQ(result->body.substr(0, 12), "\"IBM\",7.25,\"");
    EXPECT_FALSE(Accepts(service.port()));
}

TEST_F(QuoteServiceTest, RefusesAPortAlreadyTaken)
{
    Service first({});
    Child second({ServiceBinary().string(), "--port", std::to_string(first.port())});
    EXPECT_EQ(second.WaitForExit(5s), 1);
}

TEST_F(QuoteServiceTest, RefusesABadCommandLineOrScript)
{
    WriteFile("bad.txt", "IBM 12\nIBM twelve\n");
    const std::vector<std::vector<std::string>> cases = {
        {"--port", "http"},
        {"--script", "missing.txt"},
        {"--script", "bad.txt"},
        {"--log", "no/such/folder/log.txt"},
    };
    for (const auto& options : cases) {
        std::vector<std::string> args = {ServiceBinary().string()};
        args.insert(args.end(), options.begin(), options.end());
        Child service(args);
        EXPECT_EQ(service.WaitForExit(5s), 2) << options[0] << " " << options[1];
    }
}

}  // namespace
