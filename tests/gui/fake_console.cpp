#include "fake_console.h"

#include <QHostAddress>

#include "app/tessel_dlg.h"
#include "loopback_address.h"

namespace tessel::gui_test {

namespace {
constexpr int kAddressAttempts = 10;
}

FakeConsole::FakeConsole() {
    for (int attempt = 0; attempt < kAddressAttempts && !server_.isListening(); ++attempt) {
        address_ = RandomLoopbackAddress();
        server_.listen(QHostAddress(QString::fromStdString(address_)), CTesselDlg::kConsolePort);
    }
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
