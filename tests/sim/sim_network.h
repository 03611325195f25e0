#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/stream_socket.h"
#include "sim_scheduler.h"

namespace tessel::sim {

class SimNetwork;

// The far end of the simulated network: the device.
class SimPeer {
public:
    virtual ~SimPeer() = default;
    virtual bool acceptsConnection() = 0;
    virtual void onConnected(int link) = 0;
    virtual void onData(int link, std::string_view bytes) = 0;
    virtual void onClientClosed(int link) = 0;
};

// A client socket on the simulated network.
class SimSocket final : public StreamSocket {
public:
    SimSocket(SimNetwork& network, StreamSocketEvents& events, int id);
    ~SimSocket() override;
    SimSocket(const SimSocket&) = delete;
    SimSocket& operator=(const SimSocket&) = delete;

    bool connect(std::string_view host, std::uint16_t port) override;
    std::ptrdiff_t send(const char* data, std::size_t size) override;
    std::ptrdiff_t receive(char* buffer, std::size_t capacity) override;
    void close() override;
    bool isOpen() const override { return state_ == State::Connecting || state_ == State::Connected; }

    bool isConnecting() const { return state_ == State::Connecting; }
    const std::string& host() const { return host_; }
    std::uint16_t port() const { return port_; }

private:
    friend class SimNetwork;
    enum class State { Idle, Connecting, Connected, Closed };

    void connectResult(bool accepted);
    void arrive(std::string block, int errorCode);
    void announce();
    void peerClosed(bool withReadNotification);

    SimNetwork& network_;
    StreamSocketEvents& events_;
    const int id_;
    State state_ = State::Idle;
    std::string host_;
    std::uint16_t port_ = 0;
    std::deque<std::string> incoming_;
    bool peerClosed_ = false;
};

// Creates client sockets and carries bytes between them and the device, each hop taking `latency`.
class SimNetwork final : public SocketFactory {
public:
    static constexpr int kConnectionRefused = 10061;

    explicit SimNetwork(SimScheduler& scheduler) : scheduler_(scheduler) {}
    void attach(SimPeer& peer) { peer_ = &peer; }

    std::unique_ptr<StreamSocket> createStreamSocket(StreamSocketEvents& events) override;
    // The host itself, or what sameDevice maps it to; empty for an unresolvable host.
    std::string deviceAddress(std::string_view host) override;

    // Device side.
    void sendToClient(int link, std::string block, Millis extraDelay = 0, int errorCode = 0);
    // A receive notification with nothing to read.
    void notifyWithoutData(int link);
    void dropClient(int link, bool withReadNotification, Millis extraDelay = 0);

    SimScheduler& scheduler() { return scheduler_; }
    // Every byte the client sent on each link, in order.
    const std::map<int, std::string>& sentByLink() const { return sent_; }
    std::string allSent() const;
    SimSocket* socket(int link) const;
    int socketsCreated() const { return nextId_ - 1; }
    // The newest socket that still exists, or null.
    SimSocket* newestSocket() const;

    Millis latency = 5;
    bool failCreate = false;
    std::set<std::string> unresolvableHosts;
    // Other spellings of the device's address, and the one each stands for.
    std::map<std::string, std::string> sameDevice;
    // Asked on every send; true makes the send accept one byte less than offered.
    std::function<bool()> shortSend;

private:
    friend class SimSocket;

    SimScheduler& scheduler_;
    SimPeer* peer_ = nullptr;
    int nextId_ = 1;
    std::map<int, SimSocket*> sockets_;
    std::map<int, std::string> sent_;
};

}  // namespace tessel::sim
