// The pure parts of wget.exe: its command line, the URL, the request it
// sends and the reply it reads. No network or file code here.
#pragma once

#include <cctype>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wget {

struct Url {
    std::string host;
    unsigned short port = 80;
    std::string target;  // path and query, as written in the request line
};

// The command line of the download script: [-q] -O FILE URL, in any order.
struct Arguments {
    bool quiet = false;
    std::string output;
    Url url;
};

struct Response {
    enum class Outcome { Complete, Truncated, Malformed };
    Outcome outcome = Outcome::Malformed;
    int status = 0;
    std::string body;
};

namespace detail {

inline bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i]))) {
            return false;
        }
    }
    return true;
}

inline bool AllDigits(std::string_view text)
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

inline bool HasSpaceOrControl(std::string_view text)
{
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= ' ' || byte == 0x7f) {
            return true;
        }
    }
    return false;
}

}  // namespace detail

// http://host[:port][/path][?query][#fragment]. The fragment is dropped,
// an empty path becomes "/". User names, IPv6 literals and other schemes
// are not supported.
inline std::optional<Url> ParseUrl(std::string_view text)
{
    constexpr std::string_view scheme = "http://";
    if (!detail::StartsWithIgnoreCase(text, scheme) || detail::HasSpaceOrControl(text)) {
        return std::nullopt;
    }
    text.remove_prefix(scheme.size());
    text = text.substr(0, text.find('#'));

    const std::size_t authority_end = text.find_first_of("/?");
    const std::string_view authority = text.substr(0, authority_end);
    const std::string_view rest =
        authority_end == std::string_view::npos ? std::string_view() : text.substr(authority_end);

    Url url;
    const std::size_t colon = authority.find(':');
    url.host = std::string(authority.substr(0, colon));
    if (url.host.empty() || url.host.find_first_of("@[]") != std::string::npos) {
        return std::nullopt;
    }
    if (colon != std::string_view::npos) {
        const std::string_view port = authority.substr(colon + 1);
        if (!detail::AllDigits(port) || port.size() > 5) {
            return std::nullopt;
        }
        const unsigned long number = std::stoul(std::string(port));
        if (number == 0 || number > 65535) {
            return std::nullopt;
        }
        url.port = static_cast<unsigned short>(number);
    }
    url.target = rest.empty() || rest.front() == '?' ? "/" + std::string(rest) : std::string(rest);
    return url;
}

// Arguments without the program name. -O takes the next argument or the
// rest of its own (-OFILE). Exactly one URL and one -O are required.
inline std::optional<Arguments> ParseArguments(const std::vector<std::string>& args)
{
    Arguments parsed;
    bool have_url = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-q") {
            parsed.quiet = true;
        } else if (arg.rfind("-O", 0) == 0) {
            if (!parsed.output.empty()) {
                return std::nullopt;
            }
            if (arg.size() > 2) {
                parsed.output = arg.substr(2);
            } else if (i + 1 < args.size() && !args[i + 1].empty()) {
                parsed.output = args[++i];
            } else {
                return std::nullopt;
            }
        } else if (!arg.empty() && arg.front() == '-') {
            return std::nullopt;
        } else {
            const std::optional<Url> url = ParseUrl(arg);
            if (have_url || !url) {
                return std::nullopt;
            }
            parsed.url = *url;
            have_url = true;
        }
    }
    if (!have_url || parsed.output.empty()) {
        return std::nullopt;
    }
    return parsed;
}

// An HTTP/1.0 request, so that the server answers with a plain body (never
// chunked) and closes the connection after it.
inline std::string RequestText(const Url& url)
{
    std::string host = url.host;
    if (url.port != 80) {
        host += ":" + std::to_string(url.port);
    }
    return "GET " + url.target + " HTTP/1.0\r\n" +
           "Host: " + host + "\r\n"
           "User-Agent: Wget/1.0 (Quorvane)\r\n"
           "Accept: */*\r\n"
           "Connection: close\r\n"
           "\r\n";
}

// Everything the server sent before it closed the connection. A body
// shorter than its Content-Length is Truncated; one longer is cut to it.
inline Response ParseResponse(std::string_view raw)
{
    Response response;
    const std::size_t head_end = raw.find("\r\n\r\n");
    if (head_end == std::string_view::npos) {
        return response;
    }
    const std::string_view head = raw.substr(0, head_end);
    std::string_view body = raw.substr(head_end + 4);

    const std::size_t status_line_end = head.find("\r\n");
    const std::string_view status_line = head.substr(0, status_line_end);
    if (!detail::StartsWithIgnoreCase(status_line, "HTTP/1.") || status_line.size() < 12 ||
        status_line[8] != ' ' || !detail::AllDigits(status_line.substr(9, 3)) ||
        (status_line.size() > 12 && status_line[12] != ' ')) {
        return response;
    }
    response.status = std::stoi(std::string(status_line.substr(9, 3)));

    std::string_view headers =
        status_line_end == std::string_view::npos ? std::string_view() : head.substr(status_line_end + 2);
    while (!headers.empty()) {
        const std::size_t line_end = headers.find("\r\n");
        const std::string_view line = headers.substr(0, line_end);
        headers = line_end == std::string_view::npos ? std::string_view() : headers.substr(line_end + 2);
        constexpr std::string_view name = "content-length:";
        if (!detail::StartsWithIgnoreCase(line, name)) {
            continue;
        }
        std::string_view value = line.substr(name.size());
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) {
            value.remove_prefix(1);
        }
        while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) {
            value.remove_suffix(1);
        }
        if (!detail::AllDigits(value) || value.size() > 12) {
            return response;
        }
        const std::size_t length = static_cast<std::size_t>(std::stoull(std::string(value)));
        if (body.size() < length) {
            response.outcome = Response::Outcome::Truncated;
            return response;
        }
        body = body.substr(0, length);
    }
    response.outcome = Response::Outcome::Complete;
    response.body = std::string(body);
    return response;
}

}  // namespace wget
