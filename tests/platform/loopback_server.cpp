#include "loopback_server.h"

#include <asio/write.hpp>

namespace tessel::platform_test {

using asio::ip::tcp;

LoopbackPeer::LoopbackPeer(tcp::socket socket) : socket_(std::move(socket)) { socket_.non_blocking(true); }

void LoopbackPeer::write(std::string_view data) {
    socket_.non_blocking(false);
    asio::write(socket_, asio::buffer(data.data(), data.size()));
    socket_.non_blocking(true);
}

std::string LoopbackPeer::readAvailable() {
    std::string received;
    char block[1024];
    for (;;) {
        std::error_code error;
        const std::size_t count = socket_.read_some(asio::buffer(block), error);
        if (error || count == 0) return received;
        received.append(block, count);
    }
}

void LoopbackPeer::disconnect() {
    std::error_code ignored;
    socket_.shutdown(tcp::socket::shutdown_both, ignored);
    socket_.close(ignored);
}

LoopbackServer::LoopbackServer(bool ipv6)
    : acceptor_(context_, tcp::endpoint(ipv6 ? asio::ip::address(asio::ip::address_v6::loopback())
                                             : asio::ip::address(asio::ip::address_v4::loopback()),
                                        0)) {
    acceptor_.non_blocking(true);
    port_ = acceptor_.local_endpoint().port();
}

LoopbackServer::~LoopbackServer() { close(); }

LoopbackPeer* LoopbackServer::acceptPending() {
    std::error_code error;
    tcp::socket socket = acceptor_.accept(error);
    if (error) return nullptr;
    peers_.push_back(std::make_unique<LoopbackPeer>(std::move(socket)));
    return peers_.back().get();
}

void LoopbackServer::close() {
    std::error_code ignored;
    acceptor_.close(ignored);
    for (const auto& peer : peers_) peer->disconnect();
    peers_.clear();
}

}  // namespace tessel::platform_test
