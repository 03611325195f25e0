#pragma once

#include <memory>

#include "platform/stream_socket.h"

class QTcpSocket;

namespace tessel {

// A stream socket on QTcpSocket. Notifications are queued to the event loop, so none arrives inside a call of
// the socket's own operations, and the object may be destroyed at any time, also inside a notification.
class QtStreamSocket final : public StreamSocket {
public:
    explicit QtStreamSocket(StreamSocketEvents& events);
    ~QtStreamSocket() override;
    QtStreamSocket(const QtStreamSocket&) = delete;
    QtStreamSocket& operator=(const QtStreamSocket&) = delete;

    // A numeric IPv4 or IPv6 address is used as it is; any other text is looked up as a host name before the
    // call returns, so that a name that does not resolve fails the call.
    bool connect(std::string_view host, std::uint16_t port) override;
    std::ptrdiff_t send(const char* data, std::size_t size) override;
    std::ptrdiff_t receive(char* buffer, std::size_t capacity) override;
    void close() override;
    bool isOpen() const override;

private:
    void deliverConnected();
    void deliverError();
    void deliverReceive();
    template <typename Action>
    void postToSelf(Action action);

    StreamSocketEvents& events_;
    QTcpSocket* socket_;
    // Queued notifications reach the object only while it lives.
    std::shared_ptr<QtStreamSocket*> self_;
    bool connecting_ = false;
    bool closed_ = false;
};

class QtSocketFactory final : public SocketFactory {
public:
    std::unique_ptr<StreamSocket> createStreamSocket(StreamSocketEvents& events) override;
    std::string deviceAddress(std::string_view host) override;
};

}  // namespace tessel
