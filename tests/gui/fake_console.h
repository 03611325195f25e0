#pragma once

#include <QByteArray>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <cstdint>

namespace tessel::gui_test {

// A device console that greets a new connection with a login prompt and then says only what the test makes
// it say. It listens on a free port of 127.0.0.1 and stops with the object.
class FakeConsole {
public:
    FakeConsole();
    ~FakeConsole();
    FakeConsole(const FakeConsole&) = delete;
    FakeConsole& operator=(const FakeConsole&) = delete;

    bool listening() const { return server_.isListening(); }
    std::uint16_t port() const { return server_.serverPort(); }
    // Sends to the latest connection; false when there is none.
    bool say(const QByteArray& bytes);

private:
    QTcpServer server_;
    QPointer<QTcpSocket> connection_;
};

}  // namespace tessel::gui_test
