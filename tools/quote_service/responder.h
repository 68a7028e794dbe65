// What the quote service answers to a request, and its command line; the
// HTTP server around it is in main.cpp.
#pragma once

#include "market.h"
#include "script.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quotes {

struct Options {
    int port = 0;
    std::uint64_t seed = 1;
    std::string script;  // scripted replies when set, else the simulated market
    std::string log;     // standard output when empty
};

// --port N, --seed N, --script FILE and --log FILE, without the program
// name; nullopt when anything is wrong or unknown.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, int default_port);

// The raw value of key in a request target's query: the text after the
// first '=' of the first "key=..." parameter, up to the next '&', with %XX
// escapes decoded. A symbol may hold '=' itself, so the value is not split
// any further, and '+' stays the separator of symbols.
std::optional<std::string> QueryValue(const std::string& target, const std::string& key);

struct Reply {
    int status = 200;
    std::string body;
    int delay_ms = 0;
    // "STATUS PATH SYMBOL=VALUE ...": VALUE is the price text answered, N/A,
    // or one of garbage, empty, error, none (no reply left).
    std::string log;
};

// Answers GET /d/quotes.csv?s=SYM[+SYM...] with one quote line per symbol;
// other paths get 404 and a request without symbols 400.
//
// Scripted, each symbol takes its next reply. A symbol without a reply left
// (or not in the script) makes the request 404. With several symbols the
// first status other than 200 decides the whole request, the longest delay
// applies, and the bodies are joined in order. A price reply's open is the
// symbol's first scripted price, its high and low those of the prices
// answered so far, its change the difference to the open, and its volume
// 100 shares for each price answered.
class Responder {
public:
    explicit Responder(std::uint64_t seed) : market_(seed) {}
    explicit Responder(Script script) : script_(std::move(script)) {}

    // `symbols` is the decoded s parameter, symbols separated by spaces or
    // '+'; nullopt when the request has none.
    Reply Answer(const std::string& path, const std::optional<std::string>& symbols, const Moment& now);

private:
    struct Part {
        int status = 200;
        std::string body;
        std::string value;
    };
    struct Served {
        double open = 0;
        double high = 0;
        double low = 0;
        int count = 0;
    };

    Part Scripted(const std::string& symbol, const Moment& now, int& delay_ms);

    std::optional<Market> market_;
    Script script_;
    std::map<std::string, std::size_t> next_;
    std::map<std::string, Served> served_;
};

}  // namespace quotes
