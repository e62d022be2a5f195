#pragma once

namespace httplib {
struct Request;
}

namespace DownloadServer {

// Ends the connection a request came on, from inside its handler. httplib keeps the socket to itself,
// so it is found by its two port numbers among the process's descriptors.
namespace Connection {

// Drops the connection with a TCP reset before anything of the answer is sent.
void Reset(const httplib::Request& request);

// Closes the connection after what was sent so far, as a server that dies mid-answer would.
void Close(const httplib::Request& request);

} // namespace Connection
} // namespace DownloadServer
