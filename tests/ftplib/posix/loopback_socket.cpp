#include "../loopback_socket.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "../loopback_listener.h"

namespace tessel::test::loopback {

Socket Listen(unsigned short& port, int backlog, int receiveBuffer) {
    return ListenOnLoopback(port, backlog, receiveBuffer);
}

bool Readable(Socket socket, int milliseconds) {
    pollfd p{static_cast<int>(socket), POLLIN, 0};
    return poll(&p, 1, milliseconds) > 0;
}

bool Writable(Socket socket, int milliseconds) {
    pollfd p{static_cast<int>(socket), POLLOUT, 0};
    return poll(&p, 1, milliseconds) > 0;
}

Socket Accept(Socket listener) {
    const int fd = accept4(static_cast<int>(listener), nullptr, nullptr, SOCK_CLOEXEC);
    return fd < 0 ? kNoSocket : fd;
}

long Send(Socket socket, const char* bytes, std::size_t size) {
    // A peer that went away is an error here, not a signal for the whole test program.
    return send(static_cast<int>(socket), bytes, size, MSG_NOSIGNAL);
}

long Receive(Socket socket, char* bytes, std::size_t size) { return recv(static_cast<int>(socket), bytes, size, 0); }

void Close(Socket socket) {
    if (socket != kNoSocket) close(static_cast<int>(socket));
}

}  // namespace tessel::test::loopback
