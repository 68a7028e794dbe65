// The script file of scripted replies: each symbol's replies, one per
// request, in order. One reply a line:
//
//   SYMBOL REPLY
//
// where REPLY is one of
//   12.5              a normal quote line with exactly this price text
//   na                the quote line with N/A for the price
//   garbage TEXT      the body is TEXT as written (the rest of the line)
//   empty             an empty body
//   error STATUS      HTTP status STATUS (400 to 599)
//   delay MS REPLY    REPLY, after MS milliseconds
//
// Blank lines and lines starting with '#' are skipped; words are separated
// by spaces or tabs.
#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace quotes {

struct ScriptedReply {
    enum class Kind { Price, Unavailable, Garbage, Empty, Error };
    Kind kind = Kind::Price;
    std::string text;  // the price text, or the body of Garbage
    int status = 200;  // of Error
    int delay_ms = 0;
};

using Script = std::map<std::string, std::vector<ScriptedReply>>;

class ScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The whole file's text. Throws ScriptError naming the line at fault.
Script ParseScript(const std::string& text);

}  // namespace quotes
