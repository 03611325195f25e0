#include "console/console_connection.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace tessel {
namespace {

// Marks a socket notification as running, so that no socket is released under it.
class NotificationScope {
public:
    explicit NotificationScope(int& depth) : depth_(depth) { ++depth_; }
    ~NotificationScope() { --depth_; }
    NotificationScope(const NotificationScope&) = delete;
    NotificationScope& operator=(const NotificationScope&) = delete;

private:
    int& depth_;
};

}  // namespace

ConsoleConnection::ConsoleConnection(SocketFactory& sockets, ConsoleEvents& events)
    : sockets_(sockets), events_(events) {}

ConsoleConnection::~ConsoleConnection() = default;

bool ConsoleConnection::replace() {
    if (current_) retired_.push_back(std::move(current_));
    releaseFinished();
    ++generation_;
    current_.reset(new (std::nothrow) CConsoleSocket(*this));
    return current_ != nullptr;
}

bool ConsoleConnection::create() { return current_ && current_->Create(sockets_); }

bool ConsoleConnection::connect(std::string_view host, std::uint16_t port) {
    return current_ && current_->Connect(host, port);
}

void ConsoleConnection::discard() { current_.reset(); }

std::ptrdiff_t ConsoleConnection::send(std::string_view bytes) {
    return current_ ? current_->Send(bytes.data(), bytes.size()) : -1;
}

void ConsoleConnection::close() {
    if (current_) current_->Close();
}

bool ConsoleConnection::isOpen() const { return current_ && current_->IsOpen(); }

ConsoleRead ConsoleConnection::readBlock(CConsoleSocket& socket, std::span<char> into) {
    staging_.assign(kReceiveReadLimit, '\0');
    std::fill(into.begin(), into.end(), '\0');
    const std::ptrdiff_t count = socket.Receive(staging_.data(), staging_.size());
    if (count == 0) {
        socket.Close();
        return ConsoleRead::ClosedByDevice;
    }
    // Nothing was read: no block arrived, so there is nothing for a step to judge.
    if (count < 0) return ConsoleRead::Nothing;
    // Only the start of a block longer than the receive buffer is kept.
    const std::size_t kept = std::min(static_cast<std::size_t>(count), into.size());
    std::memcpy(into.data(), staging_.data(), kept);
    return ConsoleRead::Block;
}

void ConsoleConnection::onConnect(CConsoleSocket&, int errorCode) {
    const NotificationScope scope(notificationDepth_);
    events_.consoleConnected(errorCode);
}

void ConsoleConnection::onReceive(CConsoleSocket& socket, int errorCode) {
    const NotificationScope scope(notificationDepth_);
    events_.consoleReadable(socket, errorCode);
}

void ConsoleConnection::releaseFinished() {
    if (notificationDepth_ > 0) return;
    std::erase_if(retired_, [](const std::unique_ptr<CConsoleSocket>& socket) { return !socket->IsOpen(); });
}

}  // namespace tessel
