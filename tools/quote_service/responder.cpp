#include "responder.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace quotes {

namespace {

constexpr const char* kQuotesPath = "/d/quotes.csv";

std::optional<std::uint64_t> ParseNumber(const std::string& text, std::uint64_t largest)
{
    if (text.empty() || text.size() > 20 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
        return std::nullopt;
    }
    errno = 0;
    const unsigned long long number = std::strtoull(text.c_str(), nullptr, 10);
    if (errno != 0 || number > largest) {
        return std::nullopt;
    }
    return number;
}

std::vector<std::string> SplitSymbols(const std::string& text)
{
    std::vector<std::string> symbols;
    std::string symbol;
    for (char c : text + ' ') {
        if (c == ' ' || c == '+') {
            if (!symbol.empty()) {
                symbols.push_back(symbol);
            }
            symbol.clear();
        } else {
            symbol += c;
        }
    }
    return symbols;
}

}  // namespace

std::optional<Options> ParseOptions(const std::vector<std::string>& args, int default_port)
{
    Options options;
    options.port = default_port;
    for (std::size_t i = 0; i < args.size(); i += 2) {
        if (i + 1 >= args.size() || args[i + 1].empty()) {
            return std::nullopt;
        }
        const std::string& name = args[i];
        const std::string& value = args[i + 1];
        if (name == "--port") {
            const std::optional<std::uint64_t> port = ParseNumber(value, 65535);
            if (!port || *port == 0) {
                return std::nullopt;
            }
            options.port = static_cast<int>(*port);
        } else if (name == "--seed") {
            const std::optional<std::uint64_t> seed = ParseNumber(value, UINT64_MAX);
            if (!seed) {
                return std::nullopt;
            }
            options.seed = *seed;
        } else if (name == "--script") {
            options.script = value;
        } else if (name == "--log") {
            options.log = value;
        } else {
            return std::nullopt;
        }
    }
    return options;
}

namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// %XX escapes decoded; a '+' stays a '+', the separator of symbols.
std::string PercentDecoded(const std::string& text)
{
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
            decoded += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

}  // namespace

std::optional<std::string> QueryValue(const std::string& target, const std::string& key)
{
    const std::size_t query = target.find('?');
    if (query == std::string::npos) return std::nullopt;
    std::size_t start = query + 1;
    while (start <= target.size()) {
        std::size_t end = target.find('&', start);
        if (end == std::string::npos) end = target.size();
        const std::string parameter = target.substr(start, end - start);
        const std::size_t equals = parameter.find('=');
        if (equals != std::string::npos && parameter.compare(0, equals, key) == 0) {
            return PercentDecoded(parameter.substr(equals + 1));
        }
        start = end + 1;
    }
    return std::nullopt;
}

Reply Responder::Answer(const std::string& path, const std::optional<std::string>& symbols, const Moment& now)
{
    Reply reply;
    reply.log = path;
    if (path != kQuotesPath) {
        reply.status = 404;
        reply.body = "not found\r\n";
    } else if (!symbols || SplitSymbols(*symbols).empty()) {
        reply.status = 400;
        reply.body = "no symbol: ask for s=SYMBOL\r\n";
    } else {
        std::string body;
        for (const std::string& symbol : SplitSymbols(*symbols)) {
            Part part;
            if (market_) {
                const QuoteLine quote = market_->Quote(symbol, now);
                part.body = FormatQuoteLine(quote, now);
                part.value = quote.price;
            } else {
                part = Scripted(symbol, now, reply.delay_ms);
            }
            if (reply.status == 200) {
                reply.status = part.status;
            }
            body += part.body;
            reply.log += " " + symbol + "=" + part.value;
        }
        reply.body = reply.status == 200 ? body : "error " + std::to_string(reply.status) + "\r\n";
    }
    reply.log = std::to_string(reply.status) + " " + reply.log;
    return reply;
}

Responder::Part Responder::Scripted(const std::string& symbol, const Moment& now, int& delay_ms)
{
    Part part;
    const auto replies = script_.find(symbol);
    std::size_t& next = next_[symbol];
    if (replies == script_.end() || next >= replies->second.size()) {
        part.status = 404;
        part.value = "none";
        return part;
    }
    const ScriptedReply& scripted = replies->second[next++];
    delay_ms = std::max(delay_ms, scripted.delay_ms);
    switch (scripted.kind) {
    case ScriptedReply::Kind::Price: {
        const double price = std::strtod(scripted.text.c_str(), nullptr);
        Served& served = served_[symbol];
        if (served.count == 0) {
            served.open = served.high = served.low = price;
        }
        served.high = std::max(served.high, price);
        served.low = std::min(served.low, price);
        ++served.count;
        QuoteLine quote;
        quote.symbol = symbol;
        quote.price = scripted.text;
        quote.change = price - served.open;
        quote.open = served.open;
        quote.high = served.high;
        quote.low = served.low;
        quote.volume = 100 * static_cast<std::int64_t>(served.count);
        part.body = FormatQuoteLine(quote, now);
        part.value = scripted.text;
        break;
    }
    case ScriptedReply::Kind::Unavailable:
        part.body = FormatUnavailableLine(symbol);
        part.value = "N/A";
        break;
    case ScriptedReply::Kind::Garbage:
        part.body = scripted.text;
        part.value = "garbage";
        break;
    case ScriptedReply::Kind::Empty:
        part.value = "empty";
        break;
    case ScriptedReply::Kind::Error:
        part.status = scripted.status;
        part.value = "error";
        break;
    }
    return part;
}

}  // namespace quotes
