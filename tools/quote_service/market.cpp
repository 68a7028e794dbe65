#include "market.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace quotes {

namespace {

constexpr double kSecondsPerTradingYear = 252.0 * 6.5 * 3600.0;
constexpr double kSecondsPerTradingDay = 6.5 * 3600.0;
constexpr double kPi = 3.14159265358979323846;

std::uint64_t Fnv1a(const std::string& text)
{
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (unsigned char c : text) {
        hash = (hash ^ c) * 0x100000001b3ULL;
    }
    return hash;
}

double Between(double low, double high, double fraction)
{
    return std::exp(std::log(low) + (std::log(high) - std::log(low)) * fraction);
}

double Cents(double amount)
{
    return std::round(amount * 100.0) / 100.0;
}

int DateKey(const Moment& moment)
{
    return moment.year * 10000 + moment.month * 100 + moment.day;
}

}  // namespace

std::string FormatDate(const Moment& moment)
{
    return std::to_string(moment.month) + "/" + std::to_string(moment.day) + "/" + std::to_string(moment.year);
}

std::string FormatTime(const Moment& moment)
{
    const int hour = moment.hour % 12 == 0 ? 12 : moment.hour % 12;
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d%s", hour, moment.minute, moment.hour < 12 ? "am" : "pm");
    return text;
}

std::string FormatPrice(double price)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", price);
    return text;
}

std::string FormatChange(double change)
{
    char text[32];
    std::snprintf(text, sizeof text, "%+.2f", std::round(change * 100.0) / 100.0 + 0.0);
    return text;
}

std::string FormatQuoteLine(const QuoteLine& quote, const Moment& moment)
{
    return "\"" + quote.symbol + "\"," + quote.price + ",\"" + FormatDate(moment) + "\",\"" +
           FormatTime(moment) + "\"," + FormatChange(quote.change) + "," + FormatPrice(quote.open) + "," +
           FormatPrice(quote.high) + "," + FormatPrice(quote.low) + "," + std::to_string(quote.volume) +
           "\r\n";
}

std::string FormatUnavailableLine(const std::string& symbol)
{
    return "\"" + symbol + "\",N/A,\"N/A\",\"N/A\",N/A,N/A,N/A,N/A,N/A\r\n";
}

RandomWalk::RandomWalk(const std::string& symbol, std::uint64_t seed)
    : random_(Fnv1a(symbol) ^ (seed * 0x9e3779b97f4a7c15ULL))
{
    price_ = Cents(Between(5.0, 400.0, Uniform()));
    volatility_per_step_ = (0.15 + 0.45 * Uniform()) / std::sqrt(kSecondsPerTradingYear);
    volume_per_step_ = Between(2e5, 2e7, Uniform()) / kSecondsPerTradingDay;
}

double RandomWalk::Uniform()
{
    return static_cast<double>(random_() >> 11) * 0x1.0p-53;
}

double RandomWalk::Step()
{
    // Box-Muller from the engine's own bits: the same steps on every platform.
    const double u1 = 1.0 - Uniform();
    const double u2 = Uniform();
    const double normal = std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * kPi * u2);
    const double sigma = volatility_per_step_;
    price_ *= std::exp(sigma * normal - sigma * sigma / 2.0);
    return volume_per_step_ * 2.0 * Uniform();
}

QuoteLine Market::Quote(const std::string& symbol, const Moment& now)
{
    auto found = tracks_.find(symbol);
    if (found == tracks_.end()) {
        RandomWalk walk(symbol, seed_);
        const double start = walk.price();
        found = tracks_.emplace(symbol, Track{walk, now.seconds, DateKey(now), start, start, start, start, 0.0})
                    .first;
    }
    Track& track = found->second;
    const double last_asked = track.walk.price();
    for (; track.seconds < now.seconds; ++track.seconds) {
        track.volume += track.walk.Step();
        track.high = std::max(track.high, track.walk.price());
        track.low = std::min(track.low, track.walk.price());
    }
    if (DateKey(now) != track.date) {
        track.date = DateKey(now);
        track.previous_close = last_asked;
        track.open = track.high = track.low = track.walk.price();
        track.volume = 0.0;
    }

    // Rounded as answered, so that low <= price <= high holds in the reply.
    QuoteLine quote;
    quote.symbol = symbol;
    quote.price = FormatPrice(track.walk.price());
    quote.change = Cents(track.walk.price()) - Cents(track.previous_close);
    quote.open = Cents(track.open);
    quote.high = Cents(track.high);
    quote.low = Cents(track.low);
    quote.volume = static_cast<std::int64_t>(track.volume);
    return quote;
}

}  // namespace quotes
