// The far side of the socket tests: a listener on a loopback address at a free port, on plain Asio, whose
// operations never wait for the peer, so that the tests bound every wait themselves.
#pragma once

#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tessel::platform_test {

// One accepted connection.
class LoopbackPeer {
public:
    explicit LoopbackPeer(asio::ip::tcp::socket socket);
    // Sends the whole block (a few bytes: the loopback's buffers take it at once).
    void write(std::string_view data);
    // What has arrived so far and was not read before; empty when nothing has.
    std::string readAvailable();
    // Ends the connection in order, as a device that hangs up does.
    void disconnect();

private:
    asio::ip::tcp::socket socket_;
};

class LoopbackServer {
public:
    // Listens on 127.0.0.1, or ::1 with ipv6; throws std::system_error when it cannot.
    explicit LoopbackServer(bool ipv6 = false);
    ~LoopbackServer();

    std::uint16_t port() const { return port_; }
    // The next connection waiting to be accepted, or null when none waits. The server keeps it.
    LoopbackPeer* acceptPending();
    // Stops listening and drops every connection.
    void close();

private:
    asio::io_context context_;
    asio::ip::tcp::acceptor acceptor_;
    std::uint16_t port_ = 0;
    std::vector<std::unique_ptr<LoopbackPeer>> peers_;
};

}  // namespace tessel::platform_test
