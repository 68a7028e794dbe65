#include <winsock2.h>

#include "quote_service.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "../../res/resource.h"

namespace fs = std::filesystem;

int QuotePort()
{
    const std::string host = QUOTE_HOST;
    const size_t colon = host.rfind(':');
    return colon == std::string::npos ? 80 : atoi(host.c_str() + colon + 1);
}

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

std::string Request(const std::string& line)
{
    return line.substr(line.find(' ') + 1);
}

void StartStreaming(const Program& program)
{
    program.SetItemText(IDC_START_HOUR, "1");
    program.SetItemText(IDC_STOP_HOUR, "24");
    program.SetItemText(IDC_FREQUENCY, "1");
    program.Press(IDC_START);
}

QuoteService::QuoteService(const fs::path& folder, const std::string& replies) : log_(folder / "service.log")
{
    WriteFile(folder / "replies.txt", replies);
    Start("--script \"" + (folder / "replies.txt").string() + "\"");
}

QuoteService::QuoteService(const fs::path& folder, SimulatedMarket market) : log_(folder / "service.log")
{
    Start("--seed " + std::to_string(market.seed));
}

void QuoteService::Start(const std::string& options)
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    if (Accepts(QuotePort())) {
        ADD_FAILURE() << "port " << QuotePort() << " of QUOTE_HOST is taken by another program";
        return;
    }
    std::string command = "\"" + (BinDir() / "quote_service.exe").string() + "\" --port " +
                          std::to_string(QuotePort()) + " " + options + " --log \"" + log_.string() + "\"";
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

QuoteService::~QuoteService()
{
    if (process_) {
        TerminateProcess(process_, 0);
        WaitForSingleObject(process_, 5000);
        CloseHandle(process_);
    }
    WSACleanup();
}

bool QuoteService::ok() const
{
    return process_ != nullptr && !::testing::Test::HasFailure();
}

std::vector<std::string> QuoteService::Log() const
{
    return Lines(ReadFile(log_));
}

bool QuoteService::WaitForRequests(size_t count, DWORD timeoutMs) const
{
    return WaitFor([&] { return Log().size() >= count; }, timeoutMs);
}
