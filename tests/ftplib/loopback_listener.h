// A listening TCP socket on 127.0.0.1 at a free port, for the hand-made servers of the tests.
#pragma once

namespace tessel::test {

// The listening socket, its port in port. A receiveBuffer above 0 is set before it listens, so that
// accepted connections inherit it. Throws std::runtime_error when it cannot listen.
int ListenOnLoopback(unsigned short& port, int backlog = 4, int receiveBuffer = 0);

}  // namespace tessel::test
