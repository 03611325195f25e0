// The stream socket's contract, held by every implementation against a plain loopback server.
#include <gtest/gtest.h>

#include <asio/ip/tcp.hpp>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "loopback_server.h"
#include "platform_drivers.h"

namespace tessel::platform_test {
namespace {

class RecordingEvents final : public StreamSocketEvents {
public:
    void onConnect(int errorCode) override { connects.push_back(errorCode); }
    void onReceive(int errorCode) override {
        receiveCodes.push_back(errorCode);
        if (whenReceiving) whenReceiving();
    }

    std::vector<int> connects;
    std::vector<int> receiveCodes;
    std::function<void()> whenReceiving;
};

bool LocalhostIsIPv4Loopback() {
    asio::io_context context;
    asio::ip::tcp::resolver resolver(context);
    std::error_code error;
    for (const auto& entry : resolver.resolve("localhost", "0", error)) {
        if (entry.endpoint().address() == asio::ip::address_v4::loopback()) return true;
    }
    return false;
}

template <typename Driver>
class StreamSocketContract : public ::testing::Test {
protected:
    void TearDown() override { server_.close(); }

    std::uint16_t port() const { return server_.port(); }

    template <typename Condition>
    bool waitFor(Condition condition) {
        return driver_.waitFor(condition);
    }

    // Connects the socket to the server and returns the server's side of the connection.
    LoopbackPeer* connectPeer(StreamSocket& socket, RecordingEvents& events, const std::string& host = "127.0.0.1") {
        const std::size_t before = events.connects.size();
        EXPECT_TRUE(socket.connect(host, port()));
        EXPECT_TRUE(waitFor([&] { return events.connects.size() > before; }));
        LoopbackPeer* peer = nullptr;
        EXPECT_TRUE(waitFor([&] { return peer != nullptr || (peer = server_.acceptPending()) != nullptr; }));
        return peer;
    }

    // What the peer has received, waiting until it holds at least `size` bytes.
    std::string peerReceived(LoopbackPeer& peer, std::size_t size) {
        std::string received;
        EXPECT_TRUE(waitFor([&] {
            received += peer.readAvailable();
            return received.size() >= size;
        }));
        return received;
    }

    // Reads whatever each notification offers, in reads of at most `capacity` bytes.
    static void readInto(StreamSocket& socket, RecordingEvents& events, std::string& received,
                         std::size_t capacity = 4096) {
        events.whenReceiving = [&socket, &received, capacity] {
            std::vector<char> buffer(capacity);
            const std::ptrdiff_t count = socket.receive(buffer.data(), buffer.size());
            if (count > 0) received.append(buffer.data(), static_cast<std::size_t>(count));
        };
    }

    Driver driver_;
    LoopbackServer server_;
};

TYPED_TEST_SUITE(StreamSocketContract, PlatformDrivers);

TYPED_TEST(StreamSocketContract, ConnectsSendsAndReceivesOnLoopback) {
    RecordingEvents events;
    auto socket = this->driver_.makeSocket(events);
    std::string received;
    this->readInto(*socket, events, received);
    LoopbackPeer* peer = this->connectPeer(*socket, events);
    ASSERT_NE(peer, nullptr);
    EXPECT_EQ(events.connects, std::vector<int>{0});
    EXPECT_TRUE(socket->isOpen());

    EXPECT_EQ(socket->send("admin\r", 6), 6);
    EXPECT_EQ(this->peerReceived(*peer, 6), "admin\r");

    peer->write("Password: ");
    ASSERT_TRUE(this->waitFor([&] { return received.size() >= 10; }));
    EXPECT_EQ(received, "Password: ");
    for (int code : events.receiveCodes) EXPECT_EQ(code, 0);
}

TYPED_TEST(StreamSocketContract, AHostNameIsLookedUp) {
    // A bare root (a fresh chroot or container) may have no /etc/hosts; a real machine always names its loopback.
    if (!LocalhostIsIPv4Loopback())
        GTEST_SKIP() << "localhost does not resolve to 127.0.0.1 here (no /etc/hosts entry)";
    RecordingEvents events;
    auto socket = this->driver_.makeSocket(events);
    ASSERT_NE(this->connectPeer(*socket, events, "localhost"), nullptr);
    EXPECT_EQ(events.connects, std::vector<int>{0});
}

TYPED_TEST(StreamSocketContract, AnIPv6LoopbackAddressIsUsedAsItIs) {
    std::unique_ptr<LoopbackServer> server6;
    try {
        server6 = std::make_unique<LoopbackServer>(true);
    } catch (const std::system_error&) {
        GTEST_SKIP() << "no IPv6 loopback";
    }
    RecordingEvents events;
    auto socket = this->driver_.makeSocket(events);
    ASSERT_TRUE(socket->connect("::1", server6->port()));
    ASSERT_TRUE(this->waitFor([&] { return !events.connects.empty(); }));
    EXPECT_EQ(events.connects, std::vector<int>{0});
    server6->close();
}

TYPED_TEST(StreamSocketContract, ARefusedConnectIsAConnectNotificationWithAnErrorCode) {
    const std::uint16_t closedPort = this->port();
    this->server_.close();
    RecordingEvents events;
    auto socket = this->driver_.makeSocket(events);
    ASSERT_TRUE(socket->connect("127.0.0.1", closedPort));
    EXPECT_TRUE(events.connects.empty());
    ASSERT_TRUE(this->waitFor([&] { return !events.connects.empty(); }));
    EXPECT_EQ(events.connects, std::vector<int>{10061});
    EXPECT_TRUE(this->waitFor([&] { return !socket->isOpen(); }));
    EXPECT_EQ(socket->send("x", 1), -1);
}

TYPED_TEST(StreamSocketContract, ANameThatCannotBeResolvedFailsTheConnectCall) {
    RecordingEvents events;
    auto socket = this->driver_.makeSocket(events);
    EXPECT_FALSE(socket->connect("no such host", this->port()));
    EXPECT_FALSE(socket->isOpen());
}

// Records kept per device meet under one spelling of its address, however the operator wrote it.
TYPED_TEST(StreamSocketContract, EverySpellingOfADeviceAddressIsOneDevice) {
    const auto factory = this->driver_.makeFactory();
    EXPECT_EQ(factory->deviceAddress("127.0.0.1"), "127.0.0.1");
    EXPECT_EQ(factory->deviceAddress("::ffff:127.0.0.1"), "127.0.0.1");
    EXPECT_EQ(factory->deviceAddress("::FFFF:7f00:1"), "127.0.0.1");
    EXPECT_EQ(factory->deviceAddress("0:0::1"), "::1");
    EXPECT_EQ(factory->deviceAddress(""), "");
    EXPECT_EQ(factory->deviceAddress("no such host"), "");
    if (LocalhostIsIPv4Loopback()) {
        EXPECT_EQ(factory->deviceAddress("localhost"), "127.0.0.1");
    }
}

TYPED_TEST(StreamSocketContract, DataBeyondOneReadIsAnnouncedAgain) {
    RecordingEvents events;
    auto socket = this->driver_.makeSocket(events);
    std::string received;
    this->readInto(*socket, events, received, 4);
    LoopbackPeer* peer = this->connectPeer(*socket, events);
    ASSERT_NE(peer, nullptr);
    peer->write("0123456789");
    ASSERT_TRUE(this->waitFor([&] { return received.size() >= 10; }));
    EXPECT_EQ(received, "0123456789");
    EXPECT_GE(events.receiveCodes.size(), 3u);
}

TYPED_TEST(StreamSocketContract, ThePeerClosingIsNotNotified) {
    RecordingEvents events;
    auto socket = this->driver_.makeSocket(events);
    LoopbackPeer* peer = this->connectPeer(*socket, events);
    ASSERT_NE(peer, nullptr);
    peer->disconnect();
    ASSERT_TRUE(this->waitFor([&] { return !socket->isOpen(); }));
    EXPECT_TRUE(events.receiveCodes.empty());
    std::vector<char> buffer(16);
    EXPECT_EQ(socket->receive(buffer.data(), buffer.size()), 0);
}

TYPED_TEST(StreamSocketContract, NoNotificationFollowsAClose) {
    RecordingEvents closedEvents;
    auto closed = this->driver_.makeSocket(closedEvents);
    LoopbackPeer* closedPeer = this->connectPeer(*closed, closedEvents);
    RecordingEvents markerEvents;
    auto marker = this->driver_.makeSocket(markerEvents);
    LoopbackPeer* markerPeer = this->connectPeer(*marker, markerEvents);
    ASSERT_NE(closedPeer, nullptr);
    ASSERT_NE(markerPeer, nullptr);

    closed->close();
    EXPECT_FALSE(closed->isOpen());
    closedPeer->write("late");
    // The marker's data is sent after the late block, so once it has arrived the late one has had its chance.
    markerPeer->write("marker");
    ASSERT_TRUE(this->waitFor([&] { return !markerEvents.receiveCodes.empty(); }));
    EXPECT_TRUE(closedEvents.receiveCodes.empty());
    closed->close();
}

TYPED_TEST(StreamSocketContract, TheSocketMayBeDestroyedInsideItsOwnNotification) {
    RecordingEvents events;
    auto socket = this->driver_.makeSocket(events);
    LoopbackPeer* peer = this->connectPeer(*socket, events);
    ASSERT_NE(peer, nullptr);
    events.whenReceiving = [&socket] { socket.reset(); };
    peer->write("first");
    peer->write("second");
    ASSERT_TRUE(this->waitFor([&] { return socket == nullptr; }));
    // Whatever was still queued for the destroyed socket is dropped.
    this->driver_.dispatch();
    EXPECT_EQ(events.receiveCodes.size(), 1u);
}

TYPED_TEST(StreamSocketContract, TheFactoryCreatesIndependentSockets) {
    auto factory = this->driver_.makeFactory();
    RecordingEvents events;
    auto first = factory->createStreamSocket(events);
    auto second = factory->createStreamSocket(events);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first.get(), second.get());
    EXPECT_FALSE(first->isOpen());
}

}  // namespace
}  // namespace tessel::platform_test
