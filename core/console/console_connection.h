#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "console/console_socket.h"

namespace tessel {

// What the console connection tells its owner. The socket named is the one that notified: the current one or
// one replaced since, which a restarted device may still send on before it drops it.
class ConsoleEvents {
public:
    virtual void consoleConnected(int errorCode) = 0;
    // Data, the device's close or an error waits on the socket: ConsoleConnection::readBlock takes it.
    virtual void consoleReadable(CConsoleSocket& socket, int errorCode) = 0;

protected:
    ~ConsoleEvents() = default;
};

// What a read of one received block found.
enum class ConsoleRead { Block, Nothing, ClosedByDevice };

// The dialog's console connection: the current socket, the replaced ones that may still deliver, and the
// staging of received blocks. Sockets are released only when no notification of theirs is running.
class ConsoleConnection final : private ConsoleSocketEvents {
public:
    static constexpr std::size_t kReceiveReadLimit = 200000;

    ConsoleConnection(SocketFactory& sockets, ConsoleEvents& events);
    ~ConsoleConnection();
    ConsoleConnection(const ConsoleConnection&) = delete;
    ConsoleConnection& operator=(const ConsoleConnection&) = delete;

    // A new current socket; false when it cannot be allocated. The previous one keeps delivering events.
    bool replace();
    // Creates the current socket's stream; false when there is none to create.
    bool create();
    bool connect(std::string_view host, std::uint16_t port);
    // Forgets the current socket after a failed start.
    void discard();
    // The number of bytes accepted, or -1 without a current socket.
    std::ptrdiff_t send(std::string_view bytes);
    void close();
    // True while the current socket is connecting or connected.
    bool isOpen() const;
    // Changes whenever the current socket is replaced: an event of an earlier socket can be told apart.
    std::uint64_t generation() const { return generation_; }

    // Clears `into`, reads one block from `socket` and keeps as much of its start as `into` holds. A read of
    // nothing at all means the device has closed the connection: the socket is closed too.
    ConsoleRead readBlock(CConsoleSocket& socket, std::span<char> into);

private:
    void onConnect(CConsoleSocket& socket, int errorCode) override;
    void onReceive(CConsoleSocket& socket, int errorCode) override;
    void releaseFinished();

    SocketFactory& sockets_;
    ConsoleEvents& events_;
    std::unique_ptr<CConsoleSocket> current_;
    std::vector<std::unique_ptr<CConsoleSocket>> retired_;
    std::uint64_t generation_ = 0;
    int notificationDepth_ = 0;
    std::vector<char> staging_;
};

}  // namespace tessel
