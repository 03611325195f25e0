#include "platform/win32/win32_stream_socket.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <climits>
#include <string>

namespace tessel {
namespace {

constexpr UINT kSocketMessage = WM_APP + 1;

// Devices are addressed over IPv4: a name with both kinds of address is reached on its IPv4 one.
const addrinfo* PreferIPv4(const addrinfo* list) {
    for (const addrinfo* entry = list; entry; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET) return entry;
    }
    return list;
}

// The addresses of host, or null; the caller frees them. An empty name would be this machine: no device.
addrinfo* LookUp(std::string_view host, const char* service) {
    if (host.empty()) return nullptr;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    const std::string name(host);
    if (::getaddrinfo(name.c_str(), service, &hints, &found) != 0) return nullptr;
    return found;
}

// The numeric text of an address, an IPv4-mapped IPv6 address as its IPv4 address.
std::string NumericText(const sockaddr* address) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address->sa_family == AF_INET) {
        const auto* v4 = reinterpret_cast<const sockaddr_in*>(address);
        return ::inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text) ? text : std::string();
    }
    const auto* v6 = reinterpret_cast<const sockaddr_in6*>(address);
    if (IN6_IS_ADDR_V4MAPPED(&v6->sin6_addr)) {
        return ::inet_ntop(AF_INET, v6->sin6_addr.s6_addr + 12, text, sizeof text) ? text : std::string();
    }
    return ::inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof text) ? text : std::string();
}

}  // namespace

Win32StreamSocket::Win32StreamSocket(StreamSocketEvents& events)
    : events_(events),
      window_([this](UINT message, WPARAM wParam, LPARAM lParam) { return onNotification(message, wParam, lParam); }) {}

Win32StreamSocket::~Win32StreamSocket() {
    if (socket_ != INVALID_SOCKET) ::closesocket(socket_);
}

bool Win32StreamSocket::connect(std::string_view host, std::uint16_t port) {
    if (used_ || !window_.handle()) return false;
    addrinfo* found = LookUp(host, std::to_string(port).c_str());
    if (!found) return false;
    const addrinfo* address = PreferIPv4(found);
    const SOCKET handle = ::socket(address->ai_family, address->ai_socktype, address->ai_protocol);
    if (handle == INVALID_SOCKET) {
        ::freeaddrinfo(found);
        return false;
    }
    // Makes the socket non-blocking; its events come to the message window.
    if (::WSAAsyncSelect(handle, window_.handle(), kSocketMessage, FD_CONNECT | FD_READ | FD_CLOSE) != 0) {
        ::closesocket(handle);
        ::freeaddrinfo(found);
        return false;
    }
    used_ = true;
    connecting_ = true;
    socket_ = handle;
    const int result = ::connect(handle, address->ai_addr, static_cast<int>(address->ai_addrlen));
    ::freeaddrinfo(found);
    const int error = result == 0 ? 0 : ::WSAGetLastError();
    // A connect that ends at once is reported through the loop all the same.
    if (error != WSAEWOULDBLOCK) {
        ::PostMessageW(window_.handle(), kSocketMessage, static_cast<WPARAM>(handle),
                       WSAMAKESELECTREPLY(FD_CONNECT, error));
    }
    return true;
}

std::ptrdiff_t Win32StreamSocket::send(const char* data, std::size_t size) {
    if (!connected()) return -1;
    const int count = ::send(socket_, data, static_cast<int>(std::min<std::size_t>(size, INT_MAX)), 0);
    return count == SOCKET_ERROR ? -1 : count;
}

std::ptrdiff_t Win32StreamSocket::receive(char* buffer, std::size_t capacity) {
    if (!connected()) return -1;
    const int count = ::recv(socket_, buffer, static_cast<int>(std::min<std::size_t>(capacity, INT_MAX)), 0);
    if (count != SOCKET_ERROR) {
        if (count == 0) peerClosed_ = true;
        return count;
    }
    if (::WSAGetLastError() == WSAEWOULDBLOCK) return -1;
    // A connection that broke has nothing more to read, as one the peer closed.
    failed_ = true;
    return 0;
}

void Win32StreamSocket::close() {
    if (socket_ == INVALID_SOCKET) return;
    // Ends the notifications too; those already queued are dropped when they arrive.
    ::closesocket(socket_);
    socket_ = INVALID_SOCKET;
    connecting_ = false;
}

bool Win32StreamSocket::isOpen() const { return socket_ != INVALID_SOCKET && !failed_ && !peerClosed_; }

bool Win32StreamSocket::onNotification(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kSocketMessage) return false;
    if (socket_ == INVALID_SOCKET || static_cast<SOCKET>(wParam) != socket_) return true;
    const int error = WSAGETSELECTERROR(lParam);
    switch (WSAGETSELECTEVENT(lParam)) {
    case FD_CONNECT:
        if (!connecting_) return true;
        connecting_ = false;
        if (error != 0) failed_ = true;
        events_.onConnect(error);
        break;
    case FD_READ: events_.onReceive(error); break;
    case FD_CLOSE:
        // Not notified: the next read tells the core that the connection has ended.
        peerClosed_ = true;
        break;
    default: break;
    }
    return true;
}

std::string Win32SocketFactory::deviceAddress(std::string_view host) {
    addrinfo* found = LookUp(host, nullptr);
    if (!found) return {};
    const std::string text = NumericText(PreferIPv4(found)->ai_addr);
    ::freeaddrinfo(found);
    return text;
}

std::unique_ptr<StreamSocket> Win32SocketFactory::createStreamSocket(StreamSocketEvents& events) {
    return std::make_unique<Win32StreamSocket>(events);
}

}  // namespace tessel
