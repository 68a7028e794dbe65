// The quote line of quotes.csv and the simulated market behind it, free of
// any network code.
#pragma once

#include <cstdint>
#include <map>
#include <random>
#include <string>

namespace quotes {

// A moment as the service sees it: seconds since the epoch drive the
// market, the local date and time of day go into the reply.
struct Moment {
    std::int64_t seconds = 0;
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
};

// One line of the reply, fields in the order of f=sl1d1t1c1ohgv.
struct QuoteLine {
    std::string symbol;
    std::string price;  // exactly the text answered
    double change = 0;
    double open = 0;
    double high = 0;
    double low = 0;
    std::int64_t volume = 0;
};

std::string FormatDate(const Moment& moment);  // "12/11/2026"
std::string FormatTime(const Moment& moment);  // "4:05pm"
std::string FormatPrice(double price);         // "123.45"
std::string FormatChange(double change);       // "+1.20", "-0.35"

// "IBM",123.45,"12/11/2026","4:05pm",+1.20,122.00,124.10,121.80,3456789 and CR LF.
std::string FormatQuoteLine(const QuoteLine& quote, const Moment& moment);

// The line for a symbol without a price: "IBM",N/A,"N/A","N/A",N/A,N/A,N/A,N/A,N/A and CR LF.
std::string FormatUnavailableLine(const std::string& symbol);

// One symbol's trading, one step per second: a geometric random walk with
// the symbol's own starting price (5 to 400), yearly volatility (15% to
// 60%, scaled to a trading year of 252 days of 6.5 hours) and daily volume
// (0.2 to 20 million). The same symbol and seed give the same steps.
class RandomWalk {
public:
    RandomWalk(const std::string& symbol, std::uint64_t seed);

    double price() const { return price_; }

    // Moves one second on; returns the shares traded in it.
    double Step();

private:
    double Uniform();

    std::mt19937_64 random_;
    double price_;
    double volatility_per_step_;
    double volume_per_step_;
};

// Every symbol asked for, each walking from the moment it was first asked
// for. The walk advances with the clock, not with requests, so two requests
// within the same second see the same price. The day's open, high, low and
// volume restart with the first request on a new local date; the change is
// against the price as last asked for on an earlier day (at first, against
// the starting price).
class Market {
public:
    explicit Market(std::uint64_t seed) : seed_(seed) {}

    QuoteLine Quote(const std::string& symbol, const Moment& now);

private:
    struct Track {
        RandomWalk walk;
        std::int64_t seconds;
        int date;
        double previous_close;
        double open;
        double high;
        double low;
        double volume;
    };

    std::uint64_t seed_;
    std::map<std::string, Track> tracks_;
};

}  // namespace quotes
