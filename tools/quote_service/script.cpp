#include "script.h"

#include <cctype>
#include <string_view>

namespace quotes {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view TrimLeft(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    return text;
}

// Splits off the first word; `text` keeps what follows its separator.
std::string_view NextWord(std::string_view& text)
{
    text = TrimLeft(text);
    std::size_t end = 0;
    while (end < text.size() && !IsBlank(text[end])) {
        ++end;
    }
    const std::string_view word = text.substr(0, end);
    text.remove_prefix(end == text.size() ? end : end + 1);
    return word;
}

bool AllDigits(std::string_view text)
{
    if (text.empty()) {
        return false;
    }
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

// Digits with at most one decimal point, at least one digit.
bool IsPrice(std::string_view text)
{
    const std::size_t point = text.find('.');
    if (point == std::string_view::npos) {
        return AllDigits(text);
    }
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction = text.substr(point + 1);
    return (whole.empty() || AllDigits(whole)) && (fraction.empty() || AllDigits(fraction)) &&
           whole.size() + fraction.size() > 0;
}

ScriptedReply ParseReply(std::string_view text)
{
    const std::string_view word = NextWord(text);
    ScriptedReply reply;
    if (word == "garbage") {
        reply.kind = ScriptedReply::Kind::Garbage;
        reply.text = std::string(text);
        return reply;
    }
    if (word == "delay") {
        const std::string_view milliseconds = NextWord(text);
        if (!AllDigits(milliseconds) || milliseconds.size() > 7) {
            throw ScriptError("delay wants milliseconds (up to 7 digits)");
        }
        std::string_view peek = text;
        if (NextWord(peek) == "delay") {
            throw ScriptError("a delay is followed by a reply, not another delay");
        }
        reply = ParseReply(text);
        reply.delay_ms = std::stoi(std::string(milliseconds));
        return reply;
    }
    const std::string_view argument = word == "error" ? NextWord(text) : std::string_view();
    if (!TrimLeft(text).empty()) {
        throw ScriptError("unexpected text after \"" + std::string(word) + "\"");
    }
    if (word == "error") {
        const int status = AllDigits(argument) && argument.size() == 3 ? std::stoi(std::string(argument)) : 0;
        if (status < 400 || status > 599) {
            throw ScriptError("error wants an HTTP status from 400 to 599");
        }
        reply.kind = ScriptedReply::Kind::Error;
        reply.status = status;
    } else if (word == "na") {
        reply.kind = ScriptedReply::Kind::Unavailable;
    } else if (word == "empty") {
        reply.kind = ScriptedReply::Kind::Empty;
    } else if (IsPrice(word)) {
        reply.text = std::string(word);
    } else if (word.empty()) {
        throw ScriptError("a reply is missing");
    } else {
        throw ScriptError("unknown reply \"" + std::string(word) + "\"");
    }
    return reply;
}

}  // namespace

Script ParseScript(const std::string& text)
{
    Script script;
    std::size_t start = 0;
    for (int number = 1; start < text.size(); ++number) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string_view line(text.data() + start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (TrimLeft(line).empty() || TrimLeft(line).front() == '#') {
            continue;
        }
        const std::string symbol(NextWord(line));
        try {
            script[symbol].push_back(ParseReply(line));
        } catch (const ScriptError& error) {
            throw ScriptError("line " + std::to_string(number) + ": " + error.what());
        }
    }
    return script;
}

}  // namespace quotes
