#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tessel {

// Notifications of a stream socket. They arrive on the thread that owns the socket, one at a time, never from
// inside a call of the socket's own operations. The peer closing the connection is not notified.
class StreamSocketEvents {
public:
    // errorCode 0: connected; otherwise the attempt failed (refused, unreachable, timed out).
    virtual void onConnect(int errorCode) = 0;
    // Data can be read with receive().
    virtual void onReceive(int errorCode) = 0;

protected:
    ~StreamSocketEvents() = default;
};

// An asynchronous TCP client connection. Byte strings are sent and received as they are.
class StreamSocket {
public:
    virtual ~StreamSocket() = default;
    // Starts a connect to a numeric address or a host name. False when it cannot be started at all (for
    // example the name cannot be resolved); otherwise the outcome arrives later through onConnect.
    virtual bool connect(std::string_view host, std::uint16_t port) = 0;
    // Returns the number of bytes accepted for sending, or -1.
    virtual std::ptrdiff_t send(const char* data, std::size_t size) = 0;
    // Returns the number of bytes read (at most capacity), 0 when the peer has closed the connection and
    // nothing is left to read, or -1 when nothing can be read now.
    virtual std::ptrdiff_t receive(char* buffer, std::size_t capacity) = 0;
    // Closing a closed socket does nothing. No notification follows a close.
    virtual void close() = 0;
    // True while connecting or connected, as far as this side knows.
    virtual bool isOpen() const = 0;
};

class SocketFactory {
public:
    virtual ~SocketFactory() = default;
    // Null when no socket can be created.
    virtual std::unique_ptr<StreamSocket> createStreamSocket(StreamSocketEvents& events) = 0;
    // The device a connect to host reaches, in one spelling for all the ways of writing it: a numeric address
    // (an IPv4-mapped IPv6 address as its IPv4 address), a host name as the first address it resolves to.
    // Empty when host names no address. Records kept per device are keyed by it.
    virtual std::string deviceAddress(std::string_view host) = 0;
};

}  // namespace tessel
