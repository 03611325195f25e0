#include "sim_network.h"

#include <algorithm>
#include <cstring>

namespace tessel::sim {

SimSocket::SimSocket(SimNetwork& network, StreamSocketEvents& events, int id)
    : network_(network), events_(events), id_(id) {
    network_.sockets_[id_] = this;
}

SimSocket::~SimSocket() {
    close();
    network_.sockets_.erase(id_);
}

bool SimSocket::connect(std::string_view host, std::uint16_t port) {
    if (state_ != State::Idle || network_.unresolvableHosts.contains(std::string(host))) return false;
    state_ = State::Connecting;
    host_ = host;
    port_ = port;
    const int id = id_;
    SimNetwork& network = network_;
    network_.scheduler_.schedule(network_.latency, [&network, id] {
        SimSocket* socket = network.socket(id);
        if (socket == nullptr || socket->state_ != State::Connecting) return;
        socket->connectResult(network.peer_ != nullptr && network.peer_->acceptsConnection());
    });
    return true;
}

void SimSocket::connectResult(bool accepted) {
    if (!accepted) {
        state_ = State::Closed;
        events_.onConnect(SimNetwork::kConnectionRefused);
        return;
    }
    state_ = State::Connected;
    network_.peer_->onConnected(id_);
    events_.onConnect(0);
}

std::ptrdiff_t SimSocket::send(const char* data, std::size_t size) {
    if (state_ != State::Connected) return -1;
    std::size_t accepted = size;
    if (size > 0 && network_.shortSend && network_.shortSend()) accepted = size - 1;
    std::string bytes(data, accepted);
    network_.sent_[id_] += bytes;
    if (peerClosed_) return static_cast<std::ptrdiff_t>(accepted);
    const int id = id_;
    SimNetwork& network = network_;
    network_.scheduler_.schedule(network_.latency, [&network, id, bytes = std::move(bytes)] {
        if (network.peer_ != nullptr) network.peer_->onData(id, bytes);
    });
    return static_cast<std::ptrdiff_t>(accepted);
}

std::ptrdiff_t SimSocket::receive(char* buffer, std::size_t capacity) {
    if (state_ != State::Connected) return -1;
    if (incoming_.empty()) return peerClosed_ ? 0 : -1;
    std::string& block = incoming_.front();
    const std::size_t count = std::min(block.size(), capacity);
    std::memcpy(buffer, block.data(), count);
    block.erase(0, count);
    if (block.empty()) {
        incoming_.pop_front();
    } else {
        // What is left is announced again, as a socket does while unread data waits.
        const int id = id_;
        SimNetwork& network = network_;
        network_.scheduler_.schedule(0, [&network, id] {
            if (SimSocket* socket = network.socket(id)) socket->announce();
        });
    }
    return static_cast<std::ptrdiff_t>(count);
}

void SimSocket::close() {
    if (state_ == State::Closed || state_ == State::Idle) {
        state_ = State::Closed;
        return;
    }
    const bool wasConnected = state_ == State::Connected;
    state_ = State::Closed;
    incoming_.clear();
    if (wasConnected && !peerClosed_ && network_.peer_ != nullptr) network_.peer_->onClientClosed(id_);
}

void SimSocket::arrive(std::string block, int errorCode) {
    if (state_ != State::Connected || peerClosed_) return;
    incoming_.push_back(std::move(block));
    events_.onReceive(errorCode);
}

void SimSocket::announce() {
    if (state_ == State::Connected) events_.onReceive(0);
}

void SimSocket::peerClosed(bool withReadNotification) {
    if (state_ != State::Connected || peerClosed_) return;
    peerClosed_ = true;
    if (withReadNotification) events_.onReceive(0);
}

std::string SimNetwork::deviceAddress(std::string_view host) {
    const std::string text(host);
    if (text.empty() || unresolvableHosts.contains(text)) return {};
    const auto alias = sameDevice.find(text);
    return alias != sameDevice.end() ? alias->second : text;
}

std::unique_ptr<StreamSocket> SimNetwork::createStreamSocket(StreamSocketEvents& events) {
    if (failCreate) return nullptr;
    return std::make_unique<SimSocket>(*this, events, nextId_++);
}

void SimNetwork::sendToClient(int link, std::string block, Millis extraDelay, int errorCode) {
    scheduler_.schedule(latency + extraDelay, [this, link, errorCode, block = std::move(block)]() mutable {
        if (SimSocket* socket = this->socket(link)) socket->arrive(std::move(block), errorCode);
    });
}

void SimNetwork::notifyWithoutData(int link) {
    scheduler_.schedule(latency, [this, link] {
        if (SimSocket* socket = this->socket(link)) socket->announce();
    });
}

void SimNetwork::dropClient(int link, bool withReadNotification, Millis extraDelay) {
    scheduler_.schedule(latency + extraDelay, [this, link, withReadNotification] {
        if (SimSocket* socket = this->socket(link)) socket->peerClosed(withReadNotification);
    });
}

std::string SimNetwork::allSent() const {
    std::string all;
    for (const auto& [link, bytes] : sent_) all += bytes;
    return all;
}

SimSocket* SimNetwork::socket(int link) const {
    const auto found = sockets_.find(link);
    return found == sockets_.end() ? nullptr : found->second;
}

SimSocket* SimNetwork::newestSocket() const { return sockets_.empty() ? nullptr : sockets_.rbegin()->second; }

}  // namespace tessel::sim
