#include "fake_console.h"

#include <QHostAddress>

namespace tessel::gui_test {

FakeConsole::FakeConsole() {
    server_.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server_, &QTcpServer::newConnection, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            connection_ = socket;
            socket->write("login: ");
        }
    });
}

FakeConsole::~FakeConsole() { server_.close(); }

bool FakeConsole::say(const QByteArray& bytes) {
    if (!connection_) return false;
    return connection_->write(bytes) == bytes.size();
}

}  // namespace tessel::gui_test
