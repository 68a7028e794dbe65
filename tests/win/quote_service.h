// The quote service for tests of the real program: started on the port of
// QUOTE_HOST, which the download script asks, with its request log read back.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "program.h"

// The port of QUOTE_HOST.
int QuotePort();

// True when something accepts connections on 127.0.0.1 at the port.
bool Accepts(int port);

// The non-empty lines of a text.
std::vector<std::string> Lines(const std::string& text);

// What a request line of the log says after its time stamp: STATUS PATH SYMBOL=VALUE ...
std::string Request(const std::string& line);

// Streams every second, whatever the hour.
void StartStreaming(const Program& program);

// The simulated market of the service, drawn from a seed.
struct SimulatedMarket {
    unsigned seed;
};

class QuoteService {
public:
    // Answers the replies of a script (format in tools/README.md), logging to
    // "service.log" in the folder.
    QuoteService(const std::filesystem::path& folder, const std::string& replies);
    // Answers from the simulated market, logging the same way.
    QuoteService(const std::filesystem::path& folder, SimulatedMarket market);
    ~QuoteService();
    QuoteService(const QuoteService&) = delete;
    QuoteService& operator=(const QuoteService&) = delete;

    bool ok() const;

    // One line per request: TIME STATUS PATH SYMBOL=VALUE.
    std::vector<std::string> Log() const;
    bool WaitForRequests(size_t count, DWORD timeoutMs) const;

private:
    void Start(const std::string& options);

    std::filesystem::path log_;
    HANDLE process_ = nullptr;
};
