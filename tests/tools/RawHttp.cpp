#include "tests/tools/RawHttp.h"

#include <arpa/inet.h>
#include <cctype>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

void ParseHead(const std::string& head, RawAnswer& answer) {
    size_t lineEnd = head.find("\r\n");
    const std::string statusLine = head.substr(0, lineEnd);
    if (!statusLine.starts_with("HTTP/1.1 "))
        return;
    answer.answered = true;
    answer.status = std::atoi(statusLine.c_str() + 9);
    while (lineEnd != std::string::npos) {
        const size_t start = lineEnd + 2;
        lineEnd = head.find("\r\n", start);
        const std::string line = head.substr(start, lineEnd - start);
        const size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        std::string name = line.substr(0, colon);
        for (char& c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        answer.headers[name] = line.substr(line.find_first_not_of(' ', colon + 1));
    }
}

} // namespace

RawAnswer RawRequest(int port, const std::string& method, const std::string& path, const std::string& range,
                     std::chrono::milliseconds deadline) {
    RawAnswer answer;
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return answer;
    }
    std::string request = method + ' ' + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n";
    if (!range.empty())
        request += "Range: " + range + "\r\n";
    request += "\r\n";
    send(fd, request.data(), request.size(), MSG_NOSIGNAL);

    std::string received;
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (true) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        pollfd ready{fd, POLLIN, 0};
        if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) <= 0)
            break;
        char buffer[65536];
        const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0) { // end of stream or reset
            answer.closed = true;
            break;
        }
        received.append(buffer, static_cast<size_t>(got));
    }
    close(fd);

    const size_t headEnd = received.find("\r\n\r\n");
    if (headEnd == std::string::npos)
        return answer;
    ParseHead(received.substr(0, headEnd), answer);
    answer.body = received.substr(headEnd + 4);
    return answer;
}
