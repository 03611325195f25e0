#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/stream_socket.h"

namespace tessel {

class CConsoleSocket;

// Where a console socket's notifications go.
class ConsoleSocketEvents {
public:
    virtual void onConnect(CConsoleSocket& socket, int errorCode) = 0;
    virtual void onReceive(CConsoleSocket& socket, int errorCode) = 0;

protected:
    ~ConsoleSocketEvents() = default;
};

// One connection to the device's command console: it passes its stream socket's notifications on, naming
// itself, so that its owner can tell a replaced connection from the current one.
class CConsoleSocket final : private StreamSocketEvents {
public:
    explicit CConsoleSocket(ConsoleSocketEvents& events);
    ~CConsoleSocket();
    CConsoleSocket(const CConsoleSocket&) = delete;
    CConsoleSocket& operator=(const CConsoleSocket&) = delete;

    bool Create(SocketFactory& sockets);
    bool Connect(std::string_view host, std::uint16_t port);
    std::ptrdiff_t Send(const char* data, std::size_t size);
    std::ptrdiff_t Receive(char* buffer, std::size_t capacity);
    void Close();
    bool IsOpen() const;

private:
    void onConnect(int errorCode) override;
    void onReceive(int errorCode) override;

    ConsoleSocketEvents& events_;
    std::unique_ptr<StreamSocket> socket_;
};

}  // namespace tessel
