// wget.exe: fetches one http:// URL into a file for the download script
// (Run.bat) that Quorvane writes. Only that script's part of GNU Wget's
// command line is understood:
//
//   wget.exe [-q] -O FILE http://host[:port]/path?query
//
// -q silences it; otherwise a failure is described on standard error.
// The body of a 200 reply goes to a temporary file beside FILE, renamed to
// FILE once complete. Exit codes are GNU Wget's: 0 success, 2 bad command
// line, 3 file error, 4 network failure (timeouts included), 7 malformed
// reply, 8 error reply from the server. On failure no FILE is left behind,
// not even one from an earlier run. Connecting may take 5 s, each wait for
// data 5 s, and the whole transfer 10 s.
#include "parsing.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::milliseconds;

constexpr Milliseconds kConnectTimeout{5000};
constexpr Milliseconds kReadTimeout{5000};
constexpr Milliseconds kTotalTimeout{10000};

enum ExitCode : int {
    kSuccess = 0,
    kBadCommandLine = 2,
    kFileError = 3,
    kNetworkFailure = 4,
    kProtocolError = 7,
    kServerError = 8,
};

struct Failure {
    ExitCode code;
    std::string message;
};

class Socket {
public:
    explicit Socket(SOCKET handle) : handle_(handle) {}
    ~Socket()
    {
        if (handle_ != INVALID_SOCKET) {
            closesocket(handle_);
        }
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    SOCKET get() const { return handle_; }

private:
    SOCKET handle_;
};

// Waits until the socket is ready for the given direction, for at most
// `limit` and never past `deadline`. Returns false on timeout.
bool WaitFor(SOCKET socket, bool writing, Milliseconds limit, Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<Milliseconds>(deadline - Clock::now());
    const Milliseconds wait = std::max(Milliseconds(0), std::min(limit, left));
    fd_set ready;
    fd_set failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(socket, &ready);
    FD_SET(socket, &failed);
    timeval timeout{static_cast<long>(wait.count() / 1000), static_cast<long>(wait.count() % 1000 * 1000)};
    const int count = writing ? select(0, nullptr, &ready, &failed, &timeout)
                              : select(0, &ready, nullptr, &failed, &timeout);
    if (count == SOCKET_ERROR) {
        throw Failure{kNetworkFailure, "select failed"};
    }
    return count > 0;
}

// Connects to the first address of host:port that accepts, within the
// connect timeout for each.
SOCKET Connect(const wget::Url& url, Clock::time_point deadline)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* addresses = nullptr;
    const std::string port = std::to_string(url.port);
    if (getaddrinfo(url.host.c_str(), port.c_str(), &hints, &addresses) != 0) {
        throw Failure{kNetworkFailure, "cannot resolve " + url.host};
    }
    std::string problem = "cannot connect to " + url.host + ":" + port;
    for (const addrinfo* address = addresses; address != nullptr; address = address->ai_next) {
        SOCKET handle = socket(address->ai_family, address->ai_socktype, address->ai_protocol);
        if (handle == INVALID_SOCKET) {
            continue;
        }
        u_long non_blocking = 1;
        ioctlsocket(handle, FIONBIO, &non_blocking);
        if (connect(handle, address->ai_addr, static_cast<int>(address->ai_addrlen)) == 0) {
            freeaddrinfo(addresses);
            return handle;
        }
        if (WSAGetLastError() == WSAEWOULDBLOCK) {
            if (!WaitFor(handle, true, kConnectTimeout, deadline)) {
                problem = "connecting to " + url.host + ":" + port + " timed out";
            } else {
                int error = 0;
                int size = sizeof(error);
                getsockopt(handle, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size);
                if (error == 0) {
                    freeaddrinfo(addresses);
                    return handle;
                }
            }
        }
        closesocket(handle);
    }
    freeaddrinfo(addresses);
    throw Failure{kNetworkFailure, problem};
}

// Sends the request and reads until the server closes the connection.
std::string Exchange(SOCKET socket, const std::string& request, Clock::time_point deadline)
{
    for (std::size_t sent = 0; sent < request.size();) {
        if (!WaitFor(socket, true, kReadTimeout, deadline)) {
            throw Failure{kNetworkFailure, "sending the request timed out"};
        }
        const int count = send(socket, request.data() + sent, static_cast<int>(request.size() - sent), 0);
        if (count == SOCKET_ERROR) {
            if (WSAGetLastError() == WSAEWOULDBLOCK) {
                continue;
            }
            throw Failure{kNetworkFailure, "sending the request failed"};
        }
        sent += static_cast<std::size_t>(count);
    }
    std::string received;
    char buffer[4096];
    for (;;) {
        if (!WaitFor(socket, false, kReadTimeout, deadline)) {
            throw Failure{kNetworkFailure, "reading the reply timed out"};
        }
        const int count = recv(socket, buffer, sizeof buffer, 0);
        if (count == 0) {
            return received;
        }
        if (count == SOCKET_ERROR) {
            if (WSAGetLastError() == WSAEWOULDBLOCK) {
                continue;
            }
            throw Failure{kNetworkFailure, "reading the reply failed"};
        }
        received.append(buffer, static_cast<std::size_t>(count));
    }
}

// Writes the body beside `output` and renames it into place.
void Save(const std::string& output, const std::string& body)
{
    const std::string temporary = output + "." + std::to_string(GetCurrentProcessId()) + ".part";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        throw Failure{kFileError, "cannot create " + temporary};
    }
    const bool written = std::fwrite(body.data(), 1, body.size(), file) == body.size();
    if (std::fclose(file) != 0 || !written ||
        !MoveFileExA(temporary.c_str(), output.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(temporary.c_str());
        throw Failure{kFileError, "cannot write " + output};
    }
}

void Download(const wget::Arguments& arguments)
{
    const Clock::time_point deadline = Clock::now() + kTotalTimeout;
    const Socket socket(Connect(arguments.url, deadline));
    const wget::Response response =
        wget::ParseResponse(Exchange(socket.get(), wget::RequestText(arguments.url), deadline));
    switch (response.outcome) {
    case wget::Response::Outcome::Malformed:
        throw Failure{kProtocolError, "malformed reply"};
    case wget::Response::Outcome::Truncated:
        throw Failure{kNetworkFailure, "reply cut short"};
    case wget::Response::Outcome::Complete:
        break;
    }
    if (response.status != 200) {
        throw Failure{kServerError, "server answered " + std::to_string(response.status)};
    }
    Save(arguments.output, response.body);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::optional<wget::Arguments> arguments =
        wget::ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (!arguments) {
        std::fputs("usage: wget [-q] -O FILE http://host[:port]/path?query\n", stderr);
        return kBadCommandLine;
    }
    WSADATA winsock;
    if (WSAStartup(MAKEWORD(2, 2), &winsock) != 0) {
        return kNetworkFailure;
    }
    int code = kSuccess;
    try {
        Download(*arguments);
    } catch (const Failure& failure) {
        DeleteFileA(arguments->output.c_str());
        if (!arguments->quiet) {
            std::fprintf(stderr, "wget: %s\n", failure.message.c_str());
        }
        code = failure.code;
    }
    WSACleanup();
    return code;
}
