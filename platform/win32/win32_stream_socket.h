#pragma once

#include <winsock2.h>

#include "platform/stream_socket.h"
#include "platform/win32/message_window.h"

namespace tessel {

// A stream socket whose notifications come through the thread's message loop, as Windows Sockets' own
// asynchronous select posts them to a window: none arrives inside a call of the socket's operations, and the
// object may be destroyed at any time, also inside a notification. Needs a live WinsockStartup.
class Win32StreamSocket final : public StreamSocket {
public:
    explicit Win32StreamSocket(StreamSocketEvents& events);
    ~Win32StreamSocket() override;
    Win32StreamSocket(const Win32StreamSocket&) = delete;
    Win32StreamSocket& operator=(const Win32StreamSocket&) = delete;

    // A numeric IPv4 or IPv6 address is used as it is; any other text is looked up as a host name before the
    // call returns, so that a name that does not resolve fails the call. One connect per socket.
    bool connect(std::string_view host, std::uint16_t port) override;
    std::ptrdiff_t send(const char* data, std::size_t size) override;
    std::ptrdiff_t receive(char* buffer, std::size_t capacity) override;
    void close() override;
    bool isOpen() const override;

private:
    bool onNotification(UINT message, WPARAM wParam, LPARAM lParam);
    bool connected() const { return socket_ != INVALID_SOCKET && !connecting_ && !failed_; }

    StreamSocketEvents& events_;
    win32::MessageWindow window_;
    SOCKET socket_ = INVALID_SOCKET;
    bool used_ = false;
    bool connecting_ = false;
    // The connect failed, or the connection has ended (the peer closed it or it broke).
    bool failed_ = false;
    bool peerClosed_ = false;
};

class Win32SocketFactory final : public SocketFactory {
public:
    std::unique_ptr<StreamSocket> createStreamSocket(StreamSocketEvents& events) override;
    std::string deviceAddress(std::string_view host) override;
};

}  // namespace tessel
