#pragma once

#include "devsim/console_session.h"
#include "devsim/device_state.h"

#include <QHostAddress>
#include <QObject>
#include <QTcpServer>

#include <vector>

namespace tessel::devsim {

// The console's listening port. A restart drops every connection and stops listening for the restart time,
// so that connection attempts are refused, then listens on the same port again. The device's other services
// learn of the restart from restarting().
class ConsoleServer : public QObject {
    Q_OBJECT

public:
    ConsoleServer(DeviceState& device, QHostAddress host, LinkSettings link);

    // Listens on port (0: any free port); false with a reason on failure.
    bool Listen(quint16 port, QString& error);
    quint16 Port() const { return port_; }

signals:
    void restarting();

private:
    void OnNewConnection();
    void Restart();
    void ListenAgain();

    DeviceState& device_;
    QHostAddress host_;
    LinkSettings link_;
    quint16 port_ = 0;
    QTcpServer server_;
    std::vector<ConsoleSession*> sessions_;
    int nextSessionId_ = 1;
    bool restarting_ = false;
};

}  // namespace tessel::devsim
