#pragma once

#include <chrono>
#include <map>
#include <string>

// One request over a fresh socket, and every byte that comes back until the server closes the
// connection or the deadline passes: what a fault really puts on the wire, unparsed by any client.
struct RawAnswer {
    bool answered{false}; // a status line arrived
    bool closed{false};   // the server ended the connection (rather than the deadline)
    int status{0};
    std::map<std::string, std::string> headers; // names in lower case
    std::string body;                           // as sent: not de-chunked
};

RawAnswer RawRequest(int port, const std::string& method, const std::string& path,
                     const std::string& range = {},
                     std::chrono::milliseconds deadline = std::chrono::seconds(10));
