// The quote service's script file.
#include "script.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using quotes::ScriptedReply;

// One reply as text, to compare whole sequences at a glance.
std::string Show(const ScriptedReply& reply)
{
    std::string text = reply.delay_ms > 0 ? "delay " + std::to_string(reply.delay_ms) + " " : "";
    switch (reply.kind) {
    case ScriptedReply::Kind::Price:
        return text + "price [" + reply.text + "]";
    case ScriptedReply::Kind::Unavailable:
        return text + "na";
    case ScriptedReply::Kind::Garbage:
        return text + "garbage [" + reply.text + "]";
    case ScriptedReply::Kind::Empty:
        return text + "empty";
    case ScriptedReply::Kind::Error:
        return text + "error " + std::to_string(reply.status);
    }
    return text;
}

std::string Show(const quotes::Script& script)
{
    std::string text;
    for (const auto& [symbol, replies] : script) {
        for (const ScriptedReply& reply : replies) {
            text += symbol + ": " + Show(reply) + "\n";
        }
    }
    return text;
}

TEST(Script, ReadsEachSymbolsRepliesInOrder)
{
    const std::string file =
        "# replies for the first cycles\n"
        "IBM 123.45\n"
        "\n"
        "MSFT\t7\n"
        "IBM na\r\n"
        "  IBM   .5  \n"
        "IBM garbage <html> a,b,c </html>\n"
        "IBM garbage\n"
        "MSFT empty\n"
        "MSFT error 503\n"
        "MSFT delay 800 12.\n"
        "^DJI delay 0 error 404\n"
        "BRK.B delay 2500 garbage x y\n"
        "BRK.B delay 10 na";
    EXPECT_EQ(Show(quotes::ParseScript(file)),
              "BRK.B: delay 2500 garbage [x y]\n"
              "BRK.B: delay 10 na\n"
              "IBM: price [123.45]\n"
              "IBM: na\n"
              "IBM: price [.5]\n"
              "IBM: garbage [<html> a,b,c </html>]\n"
              "IBM: garbage []\n"
              "MSFT: price [7]\n"
              "MSFT: empty\n"
              "MSFT: error 503\n"
              "MSFT: delay 800 price [12.]\n"
              "^DJI: error 404\n");
}

TEST(Script, EmptyFileHasNoReplies)
{
    EXPECT_TRUE(quotes::ParseScript("").empty());
    EXPECT_TRUE(quotes::ParseScript("# nothing yet\n\n   \n").empty());
}

TEST(Script, NamesTheFaultyLine)
{
    const struct {
        const char* file;
        const char* message;
    } cases[] = {
        {"IBM", "line 1: a reply is missing"},
        {"IBM 1\nIBM\n", "line 2: a reply is missing"},
        {"IBM 1\n\nIBM 1,5", "line 3: unknown reply \"1,5\""},
        {"IBM -1", "line 1: unknown reply \"-1\""},
        {"IBM 1.2.3", "line 1: unknown reply \"1.2.3\""},
        {"IBM .", "line 1: unknown reply \".\""},
        {"IBM N/A", "line 1: unknown reply \"N/A\""},
        {"IBM 12 13", "line 1: unexpected text after \"12\""},
        {"IBM na now", "line 1: unexpected text after \"na\""},
        {"IBM error", "line 1: error wants an HTTP status from 400 to 599"},
        {"IBM error 200", "line 1: error wants an HTTP status from 400 to 599"},
        {"IBM error 600", "line 1: error wants an HTTP status from 400 to 599"},
        {"IBM error 503 now", "line 1: unexpected text after \"error\""},
        {"IBM delay 12.5", "line 1: delay wants milliseconds (up to 7 digits)"},
        {"IBM delay 10000000 1", "line 1: delay wants milliseconds (up to 7 digits)"},
        {"IBM delay 100", "line 1: a reply is missing"},
        {"IBM delay 100 delay 100 1", "line 1: a delay is followed by a reply, not another delay"},
    };
    for (const auto& c : cases) {
        try {
            quotes::ParseScript(c.file);
            ADD_FAILURE() << "accepted: " << c.file;
        } catch (const quotes::ScriptError& error) {
            EXPECT_STREQ(error.what(), c.message) << c.file;
        }
    }
}

}  // namespace
