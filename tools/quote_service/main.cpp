// quote_service: a local quote server for the download script, on
// 127.0.0.1 only. See tools/README.md.
//
//   quote_service [--port N] [--seed N] [--script FILE] [--log FILE]
//
//   --port N       port to listen on (default: the port of QUOTE_HOST)
//   --seed N       seed of the simulated market (default 1)
//   --script FILE  answer the replies scripted in FILE (format in script.h)
//                  instead of simulating a market
//   --log FILE     the request log, emptied at start (default: standard output)
//
// The log has one line per GET request, written when its reply is decided:
//   TIME STATUS PATH [SYMBOL=VALUE ...]
// TIME is local, as 2026-12-11T16:05:03.123; VALUE is explained in
// responder.h. A line whose STATUS is not 200 delivered no price.
//
// Ctrl+C (or SIGTERM on Linux) stops it; replies still waiting out a
// scripted delay are sent at once. Exit codes: 0 after a stop, 1 when the
// port cannot be had, 2 for a bad command line, script or log file.
#include "httplib.h"
#include "responder.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <ctime>
#include <fstream>
#include <iostream>
#include <iterator>
#include <mutex>
#include <optional>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <pthread.h>
#include <unistd.h>
#endif

namespace {

using SystemClock = std::chrono::system_clock;

// Stops the server and cuts scripted delays short.
class Shutdown {
public:
    explicit Shutdown(httplib::Server& server) : server_(server) {}

    void Request()
    {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        woken_.notify_all();
        server_.stop();
    }

    void Sleep(int milliseconds)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        woken_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return stopping_; });
    }

private:
    httplib::Server& server_;
    std::mutex mutex_;
    std::condition_variable woken_;
    bool stopping_ = false;
};

std::tm LocalTime(SystemClock::time_point when)
{
    const std::time_t seconds = SystemClock::to_time_t(when);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    return local;
}

quotes::Moment MomentOf(SystemClock::time_point when)
{
    const std::tm local = LocalTime(when);
    quotes::Moment moment;
    moment.seconds = static_cast<std::int64_t>(SystemClock::to_time_t(when));
    moment.year = local.tm_year + 1900;
    moment.month = local.tm_mon + 1;
    moment.day = local.tm_mday;
    moment.hour = local.tm_hour;
    moment.minute = local.tm_min;
    return moment;
}

std::string Timestamp(SystemClock::time_point when)
{
    const std::tm local = LocalTime(when);
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch()).count() % 1000;
    char text[40];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    std::snprintf(text + length, sizeof text - length, ".%03d", static_cast<int>(milliseconds));
    return text;
}

// One listener per port: without this a second service (or a test's
// leftover one) could share the port and take half the requests.
void ExclusivePort(socket_t socket)
{
    int yes = 1;
#ifdef _WIN32
    setsockopt(socket, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&yes), sizeof yes);
#else
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
#endif
}

std::optional<quotes::Responder> MakeResponder(const quotes::Options& options)
{
    if (options.script.empty()) {
        return quotes::Responder(options.seed);
    }
    std::ifstream in(options.script, std::ios::binary);
    if (!in) {
        std::cerr << "quote_service: cannot read " << options.script << "\n";
        return std::nullopt;
    }
    try {
        return quotes::Responder(
            quotes::ParseScript(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>())));
    } catch (const quotes::ScriptError& error) {
        std::cerr << "quote_service: " << options.script << ": " << error.what() << "\n";
        return std::nullopt;
    }
}

#ifdef _WIN32
Shutdown* console_shutdown = nullptr;

BOOL WINAPI OnConsoleControl(DWORD)
{
    console_shutdown->Request();
    return TRUE;
}
#endif

}  // namespace

int main(int argc, char** argv)
{
    const std::optional<quotes::Options> options =
        quotes::ParseOptions(std::vector<std::string>(argv + 1, argv + argc), QUOTE_SERVICE_PORT);
    if (!options) {
        std::cerr << "usage: quote_service [--port N] [--seed N] [--script FILE] [--log FILE]\n";
        return 2;
    }
    std::optional<quotes::Responder> responder = MakeResponder(*options);
    if (!responder) {
        return 2;
    }
    std::ofstream log_file;
    if (!options->log.empty()) {
        log_file.open(options->log, std::ios::binary | std::ios::trunc);
        if (!log_file) {
            std::cerr << "quote_service: cannot write " << options->log << "\n";
            return 2;
        }
    }
    std::ostream& log = options->log.empty() ? std::cout : log_file;

    httplib::Server server;
    Shutdown shutdown(server);
    std::mutex answering;
    server.set_socket_options(ExclusivePort);
    server.Get(".*", [&](const httplib::Request& request, httplib::Response& response) {
        quotes::Reply reply;
        {
            const std::lock_guard<std::mutex> lock(answering);
            const SystemClock::time_point now = SystemClock::now();
            const std::optional<std::string> symbols = quotes::QueryValue(request.target, "s");
            reply = responder->Answer(request.path, symbols, MomentOf(now));
            log << Timestamp(now) << ' ' << reply.log << '\n' << std::flush;
        }
        if (reply.delay_ms > 0) {
            shutdown.Sleep(reply.delay_ms);
        }
        response.status = reply.status;
        response.set_content(reply.body, "text/csv");
    });
    if (!server.bind_to_port("127.0.0.1", options->port)) {
        std::cerr << "quote_service: cannot listen on 127.0.0.1:" << options->port << "\n";
        return 1;
    }
    std::cerr << "quote_service: listening on 127.0.0.1:" << options->port << ", "
              << (options->script.empty() ? "simulated market, seed " + std::to_string(options->seed)
                                          : "replies scripted in " + options->script)
              << std::endl;

#ifndef _WIN32
    // Signals are taken by sigwait below alone: the server's threads,
    // started after this, inherit the mask.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
#endif
    std::atomic<bool> finished{false};
    std::thread serving([&] {
        server.listen_after_bind();
        finished = true;
#ifndef _WIN32
        kill(getpid(), SIGTERM);
#endif
    });
    // A stop asked for before the server runs would be lost.
    while (!server.is_running() && !finished) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
#ifdef _WIN32
    console_shutdown = &shutdown;
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    serving.join();
    SetConsoleCtrlHandler(OnConsoleControl, FALSE);
#else
    int signal = 0;
    sigwait(&signals, &signal);
    shutdown.Request();
    serving.join();
#endif
    return 0;
}
