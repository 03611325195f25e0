#pragma once

#include <memory>

#include "platform/stream_socket.h"

namespace asio {
class io_context;
}

namespace tessel {

// A stream socket on an asio::ip::tcp::socket. Notifications are handlers of the io_context, so they arrive on
// the thread that runs it and never inside a call of the socket's own operations; the object may be destroyed
// at any time, also inside a notification.
class AsioStreamSocket final : public StreamSocket {
public:
    AsioStreamSocket(asio::io_context& context, StreamSocketEvents& events);
    ~AsioStreamSocket() override;
    AsioStreamSocket(const AsioStreamSocket&) = delete;
    AsioStreamSocket& operator=(const AsioStreamSocket&) = delete;

    // A numeric IPv4 or IPv6 address is used as it is; any other text is looked up as a host name before the
    // call returns, so that a name that does not resolve fails the call.
    bool connect(std::string_view host, std::uint16_t port) override;
    std::ptrdiff_t send(const char* data, std::size_t size) override;
    std::ptrdiff_t receive(char* buffer, std::size_t capacity) override;
    void close() override;
    bool isOpen() const override;

    // The connection's state, shared with the handlers still queued for it.
    class Connection;

private:
    std::shared_ptr<Connection> connection_;
};

class AsioSocketFactory final : public SocketFactory {
public:
    explicit AsioSocketFactory(asio::io_context& context) : context_(context) {}
    std::unique_ptr<StreamSocket> createStreamSocket(StreamSocketEvents& events) override;
    std::string deviceAddress(std::string_view host) override;

private:
    asio::io_context& context_;
};

}  // namespace tessel
