#include "platform/asio/asio_stream_socket.h"

#include <algorithm>
#include <asio/connect.hpp>
#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <asio/post.hpp>
#include <asio/write.hpp>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace tessel {
namespace {

using asio::ip::tcp;

// Received bytes wait here until receive() takes them; the next read starts once they are all taken.
constexpr std::size_t kReadBlock = 4096;

// The codes Windows Sockets gives for the same failures, so that a reported code means the same everywhere.
int ErrorCode(const std::error_code& error) {
    if (error == asio::error::connection_refused) return 10061;
    if (error == asio::error::connection_reset) return 10054;
    if (error == asio::error::timed_out) return 10060;
    if (error == asio::error::network_unreachable) return 10051;
    if (error == asio::error::host_unreachable) return 10065;
    if (error == asio::error::access_denied) return 10013;
    if (error == asio::error::no_buffer_space) return 10055;
    if (error == asio::error::address_in_use) return 10048;
    return 10022;
}

std::optional<tcp::endpoint> Resolve(tcp::resolver& resolver, std::string_view host, std::uint16_t port) {
    // The system's resolver takes an empty name as this machine: an empty address names no device.
    if (host.empty()) return std::nullopt;
    std::error_code error;
    const asio::ip::address address = asio::ip::make_address(std::string(host), error);
    if (!error) return tcp::endpoint(address, port);
    const tcp::resolver::results_type results = resolver.resolve(std::string(host), std::to_string(port), error);
    if (error || results.empty()) return std::nullopt;
    // Devices are addressed over IPv4; a name with both kinds of address is reached on its IPv4 one.
    for (const auto& entry : results) {
        if (entry.endpoint().address().is_v4()) return entry.endpoint();
    }
    return results.begin()->endpoint();
}

}  // namespace

class AsioStreamSocket::Connection : public std::enable_shared_from_this<Connection> {
public:
    Connection(asio::io_context& context, StreamSocketEvents& events) : socket_(context), events_(events) {}

    bool connect(std::string_view host, std::uint16_t port) {
        if (closed_ || state_ == State::Connecting || state_ == State::Connected) return false;
        tcp::resolver resolver(socket_.get_executor());
        const std::optional<tcp::endpoint> endpoint = Resolve(resolver, host, port);
        if (!endpoint) return false;
        std::error_code ignored;
        // A failed or ended connection leaves its socket behind.
        socket_.close(ignored);
        readAt_ = filled_ = 0;
        state_ = State::Connecting;
        socket_.async_connect(*endpoint,
                              [self = shared_from_this()](const std::error_code& error) { self->connected(error); });
        return true;
    }

    std::ptrdiff_t send(const char* data, std::size_t size) {
        if (closed_ || state_ != State::Connected) return -1;
        waiting_.append(data, size);
        if (!writing_) writeWaiting();
        return static_cast<std::ptrdiff_t>(size);
    }

    std::ptrdiff_t receive(char* buffer, std::size_t capacity) {
        if (closed_) return -1;
        if (readAt_ >= filled_) return state_ == State::Connecting || state_ == State::Connected ? -1 : 0;
        const std::size_t count = std::min(capacity, filled_ - readAt_);
        std::memcpy(buffer, buffer_.data() + readAt_, count);
        readAt_ += count;
        if (readAt_ < filled_) {
            announceLeftover();
        } else {
            readMore();
        }
        return static_cast<std::ptrdiff_t>(count);
    }

    void close() {
        if (closed_) return;
        closed_ = true;
        std::error_code ignored;
        // Cancelled first: a read still pending when the socket closes completes with an odd error on Windows
        // rather than as aborted; closed_ tells the handlers either way.
        socket_.cancel(ignored);
        socket_.close(ignored);
    }

    bool isOpen() const { return !closed_ && (state_ == State::Connecting || state_ == State::Connected); }

private:
    enum class State { Unconnected, Connecting, Connected, Ended };

    void connected(const std::error_code& error) {
        if (closed_ || state_ != State::Connecting) return;
        if (error) {
            state_ = State::Ended;
            std::error_code ignored;
            socket_.close(ignored);
            events_.onConnect(ErrorCode(error));
            return;
        }
        state_ = State::Connected;
        readMore();
        events_.onConnect(0);
    }

    void readMore() {
        if (reading_ || closed_ || state_ != State::Connected) return;
        reading_ = true;
        buffer_.resize(kReadBlock);
        socket_.async_read_some(asio::buffer(buffer_),
                                [self = shared_from_this()](const std::error_code& error, std::size_t count) {
                                    self->readDone(error, count);
                                });
    }

    void readDone(const std::error_code& error, std::size_t count) {
        reading_ = false;
        if (closed_) return;
        // The peer closing, or the connection failing, is not notified: receive() reports it.
        if (error) {
            state_ = State::Ended;
            return;
        }
        readAt_ = 0;
        filled_ = count;
        events_.onReceive(0);
    }

    // Whatever one receive() left behind gets a notification of its own.
    void announceLeftover() {
        if (announcing_) return;
        announcing_ = true;
        asio::post(socket_.get_executor(), [self = shared_from_this()] {
            self->announcing_ = false;
            if (!self->closed_ && self->readAt_ < self->filled_) self->events_.onReceive(0);
        });
    }

    void writeWaiting() {
        writing_ = true;
        inFlight_.swap(waiting_);
        waiting_.clear();
        asio::async_write(socket_, asio::buffer(inFlight_),
                          [self = shared_from_this()](const std::error_code& error, std::size_t) {
                              self->writing_ = false;
                              self->inFlight_.clear();
                              if (self->closed_) return;
                              if (error) {
                                  self->state_ = State::Ended;
                              } else if (!self->waiting_.empty()) {
                                  self->writeWaiting();
                              }
                          });
    }

    tcp::socket socket_;
    StreamSocketEvents& events_;
    State state_ = State::Unconnected;
    bool closed_ = false;
    bool reading_ = false;
    bool writing_ = false;
    bool announcing_ = false;
    std::vector<char> buffer_;
    std::size_t readAt_ = 0;
    std::size_t filled_ = 0;
    std::string waiting_;
    std::string inFlight_;
};

AsioStreamSocket::AsioStreamSocket(asio::io_context& context, StreamSocketEvents& events)
    : connection_(std::make_shared<Connection>(context, events)) {}

AsioStreamSocket::~AsioStreamSocket() { connection_->close(); }

bool AsioStreamSocket::connect(std::string_view host, std::uint16_t port) { return connection_->connect(host, port); }

std::ptrdiff_t AsioStreamSocket::send(const char* data, std::size_t size) { return connection_->send(data, size); }

std::ptrdiff_t AsioStreamSocket::receive(char* buffer, std::size_t capacity) {
    return connection_->receive(buffer, capacity);
}

void AsioStreamSocket::close() { connection_->close(); }

bool AsioStreamSocket::isOpen() const { return connection_->isOpen(); }

std::string AsioSocketFactory::deviceAddress(std::string_view host) {
    tcp::resolver resolver(context_);
    const std::optional<tcp::endpoint> endpoint = Resolve(resolver, host, 0);
    if (!endpoint) return {};
    const asio::ip::address address = endpoint->address();
    if (address.is_v6() && address.to_v6().is_v4_mapped()) {
        return asio::ip::make_address_v4(asio::ip::v4_mapped, address.to_v6()).to_string();
    }
    return address.to_string();
}

std::unique_ptr<StreamSocket> AsioSocketFactory::createStreamSocket(StreamSocketEvents& events) {
    return std::make_unique<AsioStreamSocket>(context_, events);
}

}  // namespace tessel
