#pragma once

#include <QByteArray>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <string>

namespace tessel::gui_test {

// A device console that greets a new connection with a login prompt and then says only what the test makes
// it say. It listens on the console port of a loopback address of its own and stops with the object.
class FakeConsole {
public:
    FakeConsole();
    ~FakeConsole();
    FakeConsole(const FakeConsole&) = delete;
    FakeConsole& operator=(const FakeConsole&) = delete;

    bool listening() const { return server_.isListening(); }
    const std::string& address() const { return address_; }
    // Sends to the latest connection; false when there is none.
    bool say(const QByteArray& bytes);

private:
    QTcpServer server_;
    QPointer<QTcpSocket> connection_;
    std::string address_;
};

}  // namespace tessel::gui_test
