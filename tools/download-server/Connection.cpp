#include "tools/download-server/Connection.h"

#include <httplib.h>

#include <arpa/inet.h>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace DownloadServer::Connection {
namespace {

int PortOf(const sockaddr_storage& address) {
    if (address.ss_family == AF_INET)
        return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
    if (address.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
    return -1;
}

// The connection is alive and held by the calling thread, so a descriptor with both its ports is it,
// even if other descriptors come and go during the scan.
int FindSocket(const httplib::Request& request) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        const int fd = std::atoi(entry.path().filename().c_str());
        struct stat info {};
        if (fstat(fd, &info) != 0 || !S_ISSOCK(info.st_mode))
            continue;
        sockaddr_storage local{}, peer{};
        socklen_t localSize = sizeof local, peerSize = sizeof peer;
        if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &localSize) == 0 &&
            getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerSize) == 0 &&
            PortOf(local) == request.local_port && PortOf(peer) == request.remote_port)
            return fd;
    }
    std::cerr << "download-server: no socket for the connection from port " << request.remote_port << '\n';
    return -1;
}

} // namespace

void Reset(const httplib::Request& request) {
    const int fd = FindSocket(request);
    if (fd < 0)
        return;
    linger abort{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    // Replacing the descriptor closes the socket (a reset, with linger 0) while httplib still holds a
    // valid descriptor number, which no other connection can take before httplib closes it.
    const int placeholder = open("/dev/null", O_RDWR | O_CLOEXEC);
    if (placeholder < 0 || dup2(placeholder, fd) < 0)
        shutdown(fd, SHUT_RDWR);
    if (placeholder >= 0)
        close(placeholder);
}

void Close(const httplib::Request& request) {
    const int fd = FindSocket(request);
    if (fd >= 0)
        shutdown(fd, SHUT_RDWR);
}

} // namespace DownloadServer::Connection
