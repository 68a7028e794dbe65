// The quote line and the simulated market.
#include "market.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

using quotes::Moment;

Moment At(std::int64_t seconds, int day = 11, int hour = 16, int minute = 5)
{
    Moment moment;
    moment.seconds = seconds;
    moment.year = 2026;
    moment.month = 12;
    moment.day = day;
    moment.hour = hour;
    moment.minute = minute;
    return moment;
}

double PriceOf(const quotes::QuoteLine& quote)
{
    return std::strtod(quote.price.c_str(), nullptr);
}

TEST(QuoteLine, FormatsEachField)
{
    const struct {
        int hour;
        int minute;
        const char* time;
    } times[] = {{0, 0, "12:00am"}, {9, 30, "9:30am"}, {11, 59, "11:59am"},
                 {12, 0, "12:00pm"}, {16, 5, "4:05pm"}, {23, 9, "11:09pm"}};
    for (const auto& t : times) {
        EXPECT_EQ(quotes::FormatTime(At(0, 1, t.hour, t.minute)), t.time);
    }
    EXPECT_EQ(quotes::FormatDate(At(0, 1)), "12/1/2026");

    const struct {
        double value;
        const char* price;
        const char* change;
    } numbers[] = {{1.2, "1.20", "+1.20"},      {-0.35, "-0.35", "-0.35"}, {0.0, "0.00", "+0.00"},
                   {-0.004, "-0.00", "+0.00"},  {123.456, "123.46", "+123.46"}, {7, "7.00", "+7.00"}};
    for (const auto& n : numbers) {
        EXPECT_EQ(quotes::FormatPrice(n.value), n.price) << n.value;
        EXPECT_EQ(quotes::FormatChange(n.value), n.change) << n.value;
    }
}

TEST(QuoteLine, HasTheFieldsOfSl1d1t1c1ohgvAndEndsWithCrLf)
{
    quotes::QuoteLine quote;
    quote.symbol = "IBM";
    quote.price = "123.45";
    quote.change = 1.2;
    quote.open = 122;
    quote.high = 124.1;
    quote.low = 121.8;
    quote.volume = 3456789;
    EXPECT_EQ(quotes::FormatQuoteLine(quote, At(0)),
              "\"IBM\",123.45,\"12/11/2026\",\"4:05pm\",+1.20,122.00,124.10,121.80,3456789\r\n");
    quote.price = "12.5";
    EXPECT_EQ(quotes::FormatQuoteLine(quote, At(0)).substr(0, 12), "\"IBM\",12.5,\"");
    EXPECT_EQ(quotes::FormatUnavailableLine("MSFT"), "\"MSFT\",N/A,\"N/A\",\"N/A\",N/A,N/A,N/A,N/A,N/A\r\n");
}

TEST(RandomWalk, IsFixedBySymbolAndSeed)
{
    quotes::RandomWalk a("IBM", 1);
    quotes::RandomWalk again("IBM", 1);
    quotes::RandomWalk other_seed("IBM", 2);
    quotes::RandomWalk other_symbol("MSFT", 1);
    EXPECT_NE(a.price(), other_seed.price());
    EXPECT_NE(a.price(), other_symbol.price());
    for (int step = 0; step < 1000; ++step) {
        EXPECT_EQ(a.Step(), again.Step());
        ASSERT_EQ(a.price(), again.price());
    }
}

TEST(RandomWalk, StaysPlausibleOverATradingDay)
{
    for (const char* symbol : {"IBM", "MSFT", "AAPL", "^DJI", "BRK.B", "X"}) {
        quotes::RandomWalk walk(symbol, 7);
        const double start = walk.price();
        EXPECT_GE(start, 5.0) << symbol;
        EXPECT_LE(start, 400.0) << symbol;
        double volume = 0;
        double low = start;
        double high = start;
        for (int second = 0; second < 23400; ++second) {
            const double traded = walk.Step();
            ASSERT_GE(traded, 0.0);
            volume += traded;
            low = std::min(low, walk.price());
            high = std::max(high, walk.price());
        }
        // A day's range of a few percent, never a crash or a jump to the moon.
        EXPECT_GT(low, start * 0.7) << symbol;
        EXPECT_LT(high, start * 1.4) << symbol;
        EXPECT_GT(high - low, start * 0.001) << symbol;
        EXPECT_GT(volume, 1e5) << symbol;
        EXPECT_LT(volume, 3e7) << symbol;
    }
}

TEST(Market, AdvancesWithTheClockNotWithRequests)
{
    quotes::Market market(1);
    const quotes::QuoteLine first = market.Quote("IBM", At(1000));
    EXPECT_EQ(market.Quote("IBM", At(1000)).price, first.price);
    EXPECT_EQ(market.Quote("IBM", At(999)).price, first.price);

    // A fresh market asked once after 600 s is where this one is after
    // being asked every second: the steps are the same.
    quotes::Market asked_once(1);
    asked_once.Quote("IBM", At(1000));
    for (std::int64_t second = 1001; second <= 1600; ++second) {
        market.Quote("IBM", At(second));
    }
    const quotes::QuoteLine later = asked_once.Quote("IBM", At(1600));
    EXPECT_EQ(market.Quote("IBM", At(1600)).price, later.price);
    EXPECT_NE(later.price, first.price);
}

TEST(Market, TracksTheDay)
{
    quotes::Market market(3);
    const quotes::QuoteLine first = market.Quote("IBM", At(0));
    EXPECT_EQ(first.open, PriceOf(first));
    EXPECT_EQ(first.change, 0.0);
    EXPECT_EQ(first.volume, 0);

    std::int64_t volume = 0;
    quotes::QuoteLine quote;
    for (std::int64_t second = 60; second <= 3600; second += 60) {
        quote = market.Quote("IBM", At(second));
        EXPECT_EQ(quote.open, first.open);
        EXPECT_LE(quote.low, PriceOf(quote));
        EXPECT_GE(quote.high, PriceOf(quote));
        EXPECT_DOUBLE_EQ(quote.change, PriceOf(quote) - first.open);
        EXPECT_GE(quote.volume, volume);
        volume = quote.volume;
    }
    EXPECT_GT(volume, 0);
    EXPECT_LT(quote.low, quote.high);

    // The next day opens at its first request, its change counted from the
    // last price asked for the day before.
    const quotes::QuoteLine next_day = market.Quote("IBM", At(3660, 12, 9, 30));
    EXPECT_EQ(next_day.open, PriceOf(next_day));
    EXPECT_EQ(next_day.high, next_day.open);
    EXPECT_EQ(next_day.low, next_day.open);
    EXPECT_EQ(next_day.volume, 0);
    EXPECT_DOUBLE_EQ(next_day.change, PriceOf(next_day) - PriceOf(quote));
    EXPECT_NE(next_day.price, quote.price);
}

}  // namespace
