// What the quote service answers, scripted and simulated, and its options.
#include "responder.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

namespace {

using quotes::Reply;
using quotes::Responder;

constexpr const char* kQuotes = "/d/quotes.csv";

quotes::Moment Now()
{
    quotes::Moment moment;
    moment.seconds = 1'000'000;
    moment.year = 2026;
    moment.month = 12;
    moment.day = 11;
    moment.hour = 16;
    moment.minute = 5;
    return moment;
}

Reply Ask(Responder& responder, const std::string& symbols)
{
    return responder.Answer(kQuotes, symbols, Now());
}

TEST(ScriptedReplies, AnswerEachSymbolsSequenceThenNone)
{
    Responder responder(quotes::ParseScript("IBM 10\n"
                                            "IBM 12.5\n"
                                            "IBM na\n"
                                            "IBM garbage <b>busy</b>\n"
                                            "IBM empty\n"
                                            "IBM 9.75\n"
                                            "IBM delay 1500 error 503\n"
                                            "MSFT 30\n"));
    const struct {
        int status;
        const char* body;
        int delay_ms;
        const char* log;
    } expected[] = {
        {200, "\"IBM\",10,\"12/11/2026\",\"4:05pm\",+0.00,10.00,10.00,10.00,100\r\n", 0, "200 /d/quotes.csv IBM=10"},
        {200, "\"IBM\",12.5,\"12/11/2026\",\"4:05pm\",+2.50,10.00,12.50,10.00,200\r\n", 0,
         "200 /d/quotes.csv IBM=12.5"},
        {200, "\"IBM\",N/A,\"N/A\",\"N/A\",N/A,N/A,N/A,N/A,N/A\r\n", 0, "200 /d/quotes.csv IBM=N/A"},
        {200, "<b>busy</b>", 0, "200 /d/quotes.csv IBM=garbage"},
        {200, "", 0, "200 /d/quotes.csv IBM=empty"},
        {200, "\"IBM\",9.75,\"12/11/2026\",\"4:05pm\",-0.25,10.00,12.50,9.75,300\r\n", 0, "200 /d/quotes.csv IBM=9.75"},
        {503, "error 503\r\n", 1500, "503 /d/quotes.csv IBM=error"},
        {404, "error 404\r\n", 0, "404 /d/quotes.csv IBM=none"},
        {404, "error 404\r\n", 0, "404 /d/quotes.csv IBM=none"},
    };
    for (const auto& e : expected) {
        const Reply reply = Ask(responder, "IBM");
        EXPECT_EQ(reply.status, e.status) << e.log;
        EXPECT_EQ(reply.body, e.body) << e.log;
        EXPECT_EQ(reply.delay_ms, e.delay_ms) << e.log;
        EXPECT_EQ(reply.log, e.log);
    }
    // The other symbol's sequence is its own.
    EXPECT_EQ(Ask(responder, "MSFT").log, "200 /d/quotes.csv MSFT=30");
    EXPECT_EQ(Ask(responder, "AAPL").log, "404 /d/quotes.csv AAPL=none");
}

TEST(ScriptedReplies, SeveralSymbolsShareOneReply)
{
    Responder responder(quotes::ParseScript("A 1\nB delay 200 2\nC 3\n"
                                            "A 4\nB error 500\nC delay 100 error 502\n"));
    const Reply both = Ask(responder, "A+B C");
    EXPECT_EQ(both.status, 200);
    EXPECT_EQ(both.delay_ms, 200);
    EXPECT_EQ(both.log, "200 /d/quotes.csv A=1 B=2 C=3");
    EXPECT_EQ(both.body.substr(0, 8), "\"A\",1,\"1");
    EXPECT_NE(both.body.find("\r\n\"B\",2,\""), std::string::npos);
    EXPECT_NE(both.body.find("\r\n\"C\",3,\""), std::string::npos);

    // The first error decides; every symbol's reply is used up all the same.
    const Reply failed = Ask(responder, "A B C");
    EXPECT_EQ(failed.status, 500);
    EXPECT_EQ(failed.delay_ms, 100);
    EXPECT_EQ(failed.log, "500 /d/quotes.csv A=4 B=error C=error");
    EXPECT_EQ(Ask(responder, "A").log, "404 /d/quotes.csv A=none");
}

TEST(Requests, OtherPathsAndMissingSymbolsAreRefused)
{
    Responder responder(quotes::ParseScript("IBM 10\n"));
    const struct {
        const char* path;
        std::optional<std::string> symbols;
        int status;
        const char* log;
    } cases[] = {
        {"/", std::string("IBM"), 404, "404 /"},
        {"/d/quotes.csvx", std::string("IBM"), 404, "404 /d/quotes.csvx"},
        {"/D/quotes.csv", std::string("IBM"), 404, "404 /D/quotes.csv"},
        {kQuotes, std::nullopt, 400, "400 /d/quotes.csv"},
        {kQuotes, std::string(""), 400, "400 /d/quotes.csv"},
        {kQuotes, std::string(" + "), 400, "400 /d/quotes.csv"},
    };
    for (const auto& c : cases) {
        const Reply reply = responder.Answer(c.path, c.symbols, Now());
        EXPECT_EQ(reply.status, c.status) << c.log;
        EXPECT_EQ(reply.log, c.log);
        EXPECT_FALSE(reply.body.empty()) << c.log;
    }
    // None of them used up IBM's reply.
    EXPECT_EQ(Ask(responder, "IBM").log, "200 /d/quotes.csv IBM=10");
}

TEST(SimulatedMarket, AnswersAQuoteLinePerSymbol)
{
    Responder responder(42);
    const Reply reply = Ask(responder, "IBM+MSFT");
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.delay_ms, 0);
    const std::regex line("\"(IBM|MSFT)\",(\\d+\\.\\d\\d),\"12/11/2026\",\"4:05pm\",[+-]\\d+\\.\\d\\d,"
                          "\\d+\\.\\d\\d,\\d+\\.\\d\\d,\\d+\\.\\d\\d,\\d+\r\n");
    std::smatch first;
    ASSERT_TRUE(std::regex_search(reply.body, first, line)) << reply.body;
    EXPECT_EQ(first.position(), 0);
    const std::string rest = first.suffix();
    std::smatch second;
    ASSERT_TRUE(std::regex_match(rest, second, line)) << reply.body;
    EXPECT_EQ(first[1], "IBM");
    EXPECT_EQ(second[1], "MSFT");
    EXPECT_EQ(reply.log, "200 /d/quotes.csv IBM=" + first[2].str() + " MSFT=" + second[2].str());

    // The seed picks the market.
    Responder same(42);
    Responder other(43);
    EXPECT_EQ(Ask(same, "IBM+MSFT").body, reply.body);
    EXPECT_NE(Ask(other, "IBM").log, "200 /d/quotes.csv IBM=" + first[2].str());
}

TEST(QueryValue, TakesTheRawValueOfTheFirstMatchingParameter)
{
    const struct {
        const char* target;
        std::optional<std::string> value;
    } cases[] = {
        {"/d/quotes.csv?s=IBM&f=sl1d1t1c1ohgv&e=.csv", "IBM"},
        {"/d/quotes.csv?s=B-C_D=E&f=x", "B-C_D=E"},
        {"/d/quotes.csv?f=x&s=A+B", "A+B"},
        {"/d/quotes.csv?s=&f=x", ""},
        {"/d/quotes.csv?ss=A&f=x", std::nullopt},
        {"/d/quotes.csv?f=sl1&e=.csv", std::nullopt},
        {"/d/quotes.csv", std::nullopt},
        {"/d/quotes.csv?s=A&s=B", "A"},
        {"/d/quotes.csv?s=IBM%2BMSFT%3dX&f=x", "IBM+MSFT=X"},
        {"/d/quotes.csv?s=A%2&f=x", "A%2"},
    };
    for (const auto& c : cases) EXPECT_EQ(quotes::QueryValue(c.target, "s"), c.value) << c.target;
}

TEST(Options, ReadsEachOption)
{
    const std::optional<quotes::Options> none = quotes::ParseOptions({}, 8642);
    ASSERT_TRUE(none);
    EXPECT_EQ(none->port, 8642);
    EXPECT_EQ(none->seed, 1u);
    EXPECT_EQ(none->script, "");
    EXPECT_EQ(none->log, "");

    const std::optional<quotes::Options> all = quotes::ParseOptions(
        {"--log", "q.log", "--port", "65535", "--seed", "18446744073709551615", "--script", "s.txt"}, 8642);
    ASSERT_TRUE(all);
    EXPECT_EQ(all->port, 65535);
    EXPECT_EQ(all->seed, 18446744073709551615u);
    EXPECT_EQ(all->script, "s.txt");
    EXPECT_EQ(all->log, "q.log");

    const std::vector<std::vector<std::string>> wrong = {
        {"--port"},           {"--port", "0"},      {"--port", "65536"}, {"--port", "-1"},
        {"--port", "80x"},    {"--seed", "1.5"},    {"--seed", "18446744073709551616"},
        {"--script", ""},     {"--verbose", "1"},   {"8642"},
    };
    for (const auto& args : wrong) {
        EXPECT_FALSE(quotes::ParseOptions(args, 8642)) << args.front() << " " << (args.size() > 1 ? args[1] : "");
    }
}

}  // namespace
