#include "../loopback_socket.h"

#include <winsock2.h>

#include <algorithm>
#include <stdexcept>

namespace tessel::test::loopback {

namespace {

// Winsock is started once for the test program and left to its end.
void StartWinsock() {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    if (!started) throw std::runtime_error("Winsock did not start");
}

SOCKET Native(Socket socket) { return static_cast<SOCKET>(socket); }

Socket Ours(SOCKET socket) { return socket == INVALID_SOCKET ? kNoSocket : static_cast<Socket>(socket); }

int ChunkSize(std::size_t size) { return static_cast<int>(std::min<std::size_t>(size, 1 << 30)); }

}  // namespace

Socket Listen(unsigned short& port, int backlog, int receiveBuffer) {
    StartWinsock();
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) throw std::runtime_error("no socket to listen on");
    if (receiveBuffer > 0) {
        setsockopt(s, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&receiveBuffer), sizeof receiveBuffer);
    }
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof addr;
    if (bind(s, reinterpret_cast<sockaddr*>(&addr), length) != 0 || listen(s, backlog) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&addr), &length) != 0) {
        closesocket(s);
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    port = ntohs(addr.sin_port);
    return Ours(s);
}

bool Readable(Socket socket, int milliseconds) {
    WSAPOLLFD p{};
    p.fd = Native(socket);
    p.events = POLLRDNORM;
    return WSAPoll(&p, 1, milliseconds) > 0;
}

bool Writable(Socket socket, int milliseconds) {
    WSAPOLLFD p{};
    p.fd = Native(socket);
    p.events = POLLWRNORM;
    return WSAPoll(&p, 1, milliseconds) > 0;
}

Socket Accept(Socket listener) { return Ours(accept(Native(listener), nullptr, nullptr)); }

long Send(Socket socket, const char* bytes, std::size_t size) {
    return send(Native(socket), bytes, ChunkSize(size), 0);
}

long Receive(Socket socket, char* bytes, std::size_t size) { return recv(Native(socket), bytes, ChunkSize(size), 0); }

void Close(Socket socket) {
    if (socket != kNoSocket) closesocket(Native(socket));
}

}  // namespace tessel::test::loopback
