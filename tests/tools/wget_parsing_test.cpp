// The downloader's command line, URL, request and reply parsing.
#include "parsing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using wget::Response;

std::string Show(const std::optional<wget::Url>& url)
{
    if (!url) {
        return "invalid";
    }
    return url->host + " " + std::to_string(url->port) + " " + url->target;
}

TEST(WgetUrl, SplitsHostPortAndTarget)
{
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"http://127.0.0.1:8642/d/quotes.csv?s=IBM&f=sl1d1t1c1ohgv&e=.csv",
         "127.0.0.1 8642 /d/quotes.csv?s=IBM&f=sl1d1t1c1ohgv&e=.csv"},
        {"http://localhost/x", "localhost 80 /x"},
        {"HTTP://Example.org:65535", "Example.org 65535 /"},
        {"http://h?s=A", "h 80 /?s=A"},
        {"http://h:1/a#part", "h 1 /a"},
        {"https://h/x", "invalid"},
        {"ftp://h/x", "invalid"},
        {"127.0.0.1:8642/d", "invalid"},
        {"http://", "invalid"},
        {"http://:8642/d", "invalid"},
        {"http://h:/d", "invalid"},
        {"http://h:0/d", "invalid"},
        {"http://h:65536/d", "invalid"},
        {"http://h:12a/d", "invalid"},
        {"http://user@h/d", "invalid"},
        {"http://[::1]:80/d", "invalid"},
        {"http://h/a b", "invalid"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Show(wget::ParseUrl(c.text)), c.expected) << c.text;
    }
}

TEST(WgetArguments, AcceptsTheDownloadScriptsCommandLine)
{
    const struct {
        std::vector<std::string> args;
        bool quiet;
        const char* output;
        const char* url;
    } cases[] = {
        {{"-q", "-O", "TempStocks\\IBM.csv", "http://127.0.0.1:8642/d/quotes.csv?s=IBM"}, true,
         "TempStocks\\IBM.csv", "127.0.0.1 8642 /d/quotes.csv?s=IBM"},
        {{"-O", "out.csv", "http://h/"}, false, "out.csv", "h 80 /"},
        {{"http://h:9/p?q", "-Oout.csv", "-q"}, true, "out.csv", "h 9 /p?q"},
    };
    for (const auto& c : cases) {
        const std::optional<wget::Arguments> parsed = wget::ParseArguments(c.args);
        ASSERT_TRUE(parsed) << c.url;
        EXPECT_EQ(parsed->quiet, c.quiet) << c.url;
        EXPECT_EQ(parsed->output, c.output) << c.url;
        EXPECT_EQ(Show(parsed->url), c.url);
    }
}

TEST(WgetArguments, RejectsAnythingElse)
{
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"-q"},
        {"http://h/"},
        {"-O", "f"},
        {"-q", "http://h/", "-O"},
        {"-O", "", "http://h/"},
        {"-O", "f", "-O", "g", "http://h/"},
        {"-O", "f", "http://h/", "http://h/"},
        {"-O", "f", "--quiet", "http://h/"},
        {"-O", "f", "https://h/"},
    };
    for (const auto& args : cases) {
        std::string joined;
        for (const std::string& arg : args) {
            joined += arg + " ";
        }
        EXPECT_FALSE(wget::ParseArguments(args)) << joined;
    }
}

TEST(WgetRequest, IsHttp10WithHostAndClose)
{
    EXPECT_EQ(wget::RequestText(*wget::ParseUrl("http://127.0.0.1:8642/d/quotes.csv?s=IBM")),
              "GET /d/quotes.csv?s=IBM HTTP/1.0\r\n"
              "Host: 127.0.0.1:8642\r\n"
              "User-Agent: Wget/1.0 (Quorvane)\r\n"
              "Accept: */*\r\n"
              "Connection: close\r\n"
              "\r\n");
    EXPECT_EQ(wget::RequestText(*wget::ParseUrl("http://h/")).substr(0, 31), "GET / HTTP/1.0\r\nHost: h\r\nUser-A");
}

TEST(WgetResponse, TakesStatusAndBody)
{
    const struct {
        const char* raw;
        Response::Outcome outcome;
        int status;
        const char* body;
    } cases[] = {
        {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nA,1,2", Response::Outcome::Complete, 200, "A,1,2"},
        {"HTTP/1.0 200 OK\r\n\r\nuntil close\r\n", Response::Outcome::Complete, 200, "until close\r\n"},
        {"HTTP/1.1 200\r\ncontent-length:  3 \r\n\r\nabcdef", Response::Outcome::Complete, 200, "abc"},
        {"HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", Response::Outcome::Complete, 200, ""},
        {"HTTP/1.1 503 Service Unavailable\r\nContent-Length: 2\r\n\r\nno", Response::Outcome::Complete, 503, "no"},
        {"HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nshort", Response::Outcome::Truncated, 200, ""},
        {"HTTP/1.1 200 OK\r\nContent-Length: ten\r\n\r\nshort", Response::Outcome::Malformed, 200, ""},
        {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n", Response::Outcome::Malformed, 0, ""},
        {"", Response::Outcome::Malformed, 0, ""},
        {"SSH-2.0-OpenSSH\r\n\r\n", Response::Outcome::Malformed, 0, ""},
        {"HTTP/1.1 2000 OK\r\n\r\n", Response::Outcome::Malformed, 0, ""},
        {"HTTP/1.1 20x OK\r\n\r\n", Response::Outcome::Malformed, 0, ""},
    };
    for (const auto& c : cases) {
        const Response response = wget::ParseResponse(c.raw);
        EXPECT_EQ(response.outcome, c.outcome) << c.raw;
        EXPECT_EQ(response.status, c.status) << c.raw;
        EXPECT_EQ(response.body, c.body) << c.raw;
    }
}

}  // namespace
