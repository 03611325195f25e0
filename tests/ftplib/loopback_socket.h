// The few socket calls of the tests' hand-made servers, so that a server's logic is the same on
// POSIX (posix/) and Winsock (win32/). Sockets listen and connect on 127.0.0.1 only.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tessel::test::loopback {

// A socket of either system; kNoSocket when there is none.
using Socket = std::intptr_t;
inline constexpr Socket kNoSocket = -1;

// A socket listening on 127.0.0.1 at a free port, its port in port. A receiveBuffer above 0 is set
// before it listens, so that accepted connections inherit it. Throws std::runtime_error when it
// cannot listen.
Socket Listen(unsigned short& port, int backlog, int receiveBuffer);
// Whether the socket has bytes, a connection or an end to read within the given milliseconds.
bool Readable(Socket socket, int milliseconds);
// Whether a send of a small block would not block, waiting at most this long.
bool Writable(Socket socket, int milliseconds);
// The next connection of a listening socket, or kNoSocket.
Socket Accept(Socket listener);
// The bytes sent or received by one call; 0 or less when the connection is gone (or, for Receive,
// has ended).
long Send(Socket socket, const char* bytes, std::size_t size);
long Receive(Socket socket, char* bytes, std::size_t size);
void Close(Socket socket);

}  // namespace tessel::test::loopback
