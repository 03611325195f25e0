#include "console/console_socket.h"

namespace tessel {

CConsoleSocket::CConsoleSocket(ConsoleSocketEvents& events) : events_(events) {}

CConsoleSocket::~CConsoleSocket() = default;

bool CConsoleSocket::Create(SocketFactory& sockets) {
    socket_ = sockets.createStreamSocket(*this);
    return socket_ != nullptr;
}

bool CConsoleSocket::Connect(std::string_view host, std::uint16_t port) {
    return socket_ && socket_->connect(host, port);
}

std::ptrdiff_t CConsoleSocket::Send(const char* data, std::size_t size) {
    return socket_ ? socket_->send(data, size) : -1;
}

std::ptrdiff_t CConsoleSocket::Receive(char* buffer, std::size_t capacity) {
    return socket_ ? socket_->receive(buffer, capacity) : -1;
}

void CConsoleSocket::Close() {
    if (socket_) socket_->close();
}

bool CConsoleSocket::IsOpen() const { return socket_ && socket_->isOpen(); }

void CConsoleSocket::onConnect(int errorCode) { events_.onConnect(*this, errorCode); }

void CConsoleSocket::onReceive(int errorCode) { events_.onReceive(*this, errorCode); }

}  // namespace tessel
