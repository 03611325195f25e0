#include "platform/qt/qt_stream_socket.h"

#include <gtest/gtest.h>

#include <QHostInfo>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "qt_test_support.h"

namespace tessel {
namespace {

using qt_test::WaitFor;

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

class QtStreamSocketTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server_.listen(QHostAddress::LocalHost, 0)); }
    void TearDown() override {
        for (QTcpSocket* peer : peers_) peer->abort();
        server_.close();
    }

    std::uint16_t port() const { return server_.serverPort(); }

    // Connects the socket to the server and returns the server's side of the connection.
    QTcpSocket* connectPeer(QtStreamSocket& socket, RecordingEvents& events, const std::string& host = "127.0.0.1") {
        const std::size_t before = events.connects.size();
        EXPECT_TRUE(socket.connect(host, port()));
        EXPECT_TRUE(WaitFor([&] { return events.connects.size() > before; }));
        EXPECT_TRUE(WaitFor([&] { return server_.hasPendingConnections(); }));
        QTcpSocket* peer = server_.nextPendingConnection();
        if (peer != nullptr) peers_.push_back(peer);
        return peer;
    }

    // Reads whatever each notification offers, in reads of at most `capacity` bytes.
    static void readInto(QtStreamSocket& socket, RecordingEvents& events, std::string& received,
                         std::size_t capacity = 4096) {
        events.whenReceiving = [&socket, &received, capacity] {
            std::vector<char> buffer(capacity);
            const std::ptrdiff_t count = socket.receive(buffer.data(), buffer.size());
            if (count > 0) received.append(buffer.data(), static_cast<std::size_t>(count));
        };
    }

    QTcpServer server_;
    std::vector<QTcpSocket*> peers_;
};

TEST_F(QtStreamSocketTest, ConnectsSendsAndReceivesOnLoopback) {
    RecordingEvents events;
    QtStreamSocket socket(events);
    std::string received;
    readInto(socket, events, received);
    QTcpSocket* peer = connectPeer(socket, events);
    ASSERT_NE(peer, nullptr);
    EXPECT_EQ(events.connects, std::vector<int>{0});
    EXPECT_TRUE(socket.isOpen());

    EXPECT_EQ(socket.send("admin\r", 6), 6);
    ASSERT_TRUE(WaitFor([&] { return peer->bytesAvailable() >= 6; }));
    EXPECT_EQ(peer->readAll().toStdString(), "admin\r");

    peer->write("Password: ");
    ASSERT_TRUE(WaitFor([&] { return received.size() >= 10; }));
    EXPECT_EQ(received, "Password: ");
    for (int code : events.receiveCodes) EXPECT_EQ(code, 0);
}

TEST_F(QtStreamSocketTest, AHostNameIsLookedUp) {
    // A bare root (a fresh chroot or container) may have no /etc/hosts; a real machine always names its loopback.
    if (!QHostInfo::fromName("localhost").addresses().contains(QHostAddress(QHostAddress::LocalHost)))
        GTEST_SKIP() << "localhost does not resolve to 127.0.0.1 here (no /etc/hosts entry)";
    RecordingEvents events;
    QtStreamSocket socket(events);
    ASSERT_NE(connectPeer(socket, events, "localhost"), nullptr);
    EXPECT_EQ(events.connects, std::vector<int>{0});
}

TEST_F(QtStreamSocketTest, AnIPv6LoopbackAddressIsUsedAsItIs) {
    QTcpServer server6;
    if (!server6.listen(QHostAddress::LocalHostIPv6, 0)) GTEST_SKIP() << "no IPv6 loopback";
    RecordingEvents events;
    QtStreamSocket socket(events);
    ASSERT_TRUE(socket.connect("::1", server6.serverPort()));
    ASSERT_TRUE(WaitFor([&] { return !events.connects.empty(); }));
    EXPECT_EQ(events.connects, std::vector<int>{0});
    server6.close();
}

TEST_F(QtStreamSocketTest, ARefusedConnectIsAConnectNotificationWithAnErrorCode) {
    const std::uint16_t closedPort = port();
    server_.close();
    RecordingEvents events;
    QtStreamSocket socket(events);
    ASSERT_TRUE(socket.connect("127.0.0.1", closedPort));
    EXPECT_TRUE(events.connects.empty());
    ASSERT_TRUE(WaitFor([&] { return !events.connects.empty(); }));
    EXPECT_EQ(events.connects, std::vector<int>{10061});
    EXPECT_TRUE(WaitFor([&] { return !socket.isOpen(); }));
    EXPECT_EQ(socket.send("x", 1), -1);
}

TEST_F(QtStreamSocketTest, ANameThatCannotBeResolvedFailsTheConnectCall) {
    RecordingEvents events;
    QtStreamSocket socket(events);
    EXPECT_FALSE(socket.connect("no such host", port()));
    EXPECT_FALSE(socket.isOpen());
}

TEST_F(QtStreamSocketTest, DataBeyondOneReadIsAnnouncedAgain) {
    RecordingEvents events;
    QtStreamSocket socket(events);
    std::string received;
    readInto(socket, events, received, 4);
    QTcpSocket* peer = connectPeer(socket, events);
    ASSERT_NE(peer, nullptr);
    peer->write("0123456789");
    ASSERT_TRUE(WaitFor([&] { return received.size() >= 10; }));
    EXPECT_EQ(received, "0123456789");
    EXPECT_GE(events.receiveCodes.size(), 3u);
}

TEST_F(QtStreamSocketTest, ThePeerClosingIsNotNotified) {
    RecordingEvents events;
    QtStreamSocket socket(events);
    QTcpSocket* peer = connectPeer(socket, events);
    ASSERT_NE(peer, nullptr);
    peer->disconnectFromHost();
    ASSERT_TRUE(WaitFor([&] { return !socket.isOpen(); }));
    EXPECT_TRUE(events.receiveCodes.empty());
    std::vector<char> buffer(16);
    EXPECT_EQ(socket.receive(buffer.data(), buffer.size()), 0);
}

TEST_F(QtStreamSocketTest, NoNotificationFollowsAClose) {
    RecordingEvents closedEvents;
    QtStreamSocket closed(closedEvents);
    QTcpSocket* closedPeer = connectPeer(closed, closedEvents);
    RecordingEvents markerEvents;
    QtStreamSocket marker(markerEvents);
    QTcpSocket* markerPeer = connectPeer(marker, markerEvents);
    ASSERT_NE(closedPeer, nullptr);
    ASSERT_NE(markerPeer, nullptr);

    closed.close();
    EXPECT_FALSE(closed.isOpen());
    closedPeer->write("late");
    closedPeer->flush();
    // The marker's data is sent after the late block, so once it has arrived the late one has had its chance.
    markerPeer->write("marker");
    ASSERT_TRUE(WaitFor([&] { return !markerEvents.receiveCodes.empty(); }));
    EXPECT_TRUE(closedEvents.receiveCodes.empty());
    closed.close();
}

TEST_F(QtStreamSocketTest, TheSocketMayBeDestroyedInsideItsOwnNotification) {
    RecordingEvents events;
    auto socket = std::make_unique<QtStreamSocket>(events);
    QTcpSocket* peer = connectPeer(*socket, events);
    ASSERT_NE(peer, nullptr);
    events.whenReceiving = [&socket] { socket.reset(); };
    peer->write("first");
    peer->flush();
    peer->write("second");
    ASSERT_TRUE(WaitFor([&] { return socket == nullptr; }));
    // Whatever was still queued for the destroyed socket is dropped.
    QCoreApplication::processEvents();
    EXPECT_EQ(events.receiveCodes.size(), 1u);
}

TEST(QtSocketFactoryTest, CreatesIndependentSockets) {
    QtSocketFactory factory;
    RecordingEvents events;
    auto first = factory.createStreamSocket(events);
    auto second = factory.createStreamSocket(events);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first.get(), second.get());
    EXPECT_FALSE(first->isOpen());
}

}  // namespace
}  // namespace tessel
