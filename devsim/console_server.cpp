#include "devsim/console_server.h"

#include "devsim/activity_log.h"

#include <QTimer>

#include <algorithm>

namespace tessel::devsim {

namespace {

// Time between the restart message and the dropped connections, so that the client reads the message first.
constexpr int kDropDelayMs = 200;
constexpr int kListenRetryMs = 500;

}  // namespace

ConsoleServer::ConsoleServer(DeviceState& device, QHostAddress host, LinkSettings link)
    : device_(device), host_(std::move(host)), link_(link) {
    connect(&server_, &QTcpServer::newConnection, this, &ConsoleServer::OnNewConnection);
}

bool ConsoleServer::Listen(quint16 port, QString& error) {
    if (!server_.listen(host_, port)) {
        error = server_.errorString();
        return false;
    }
    port_ = server_.serverPort();
    return true;
}

void ConsoleServer::OnNewConnection() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        if (restarting_) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto* session = new ConsoleSession(socket, device_, link_, nextSessionId_++, this);
        sessions_.push_back(session);
        connect(session, &ConsoleSession::restartRequested, this, [this] {
            if (restarting_) return;
            restarting_ = true;
            QTimer::singleShot(kDropDelayMs, this, &ConsoleServer::Restart);
        });
        connect(session, &ConsoleSession::closed, this, [this](ConsoleSession* closed) {
            sessions_.erase(std::remove(sessions_.begin(), sessions_.end(), closed), sessions_.end());
            closed->deleteLater();
        });
    }
}

void ConsoleServer::Restart() {
    // Stop listening first: a client that sees its connection end may connect again at once.
    server_.close();
    for (ConsoleSession* session : sessions_) {
        session->Drop();
        session->deleteLater();
    }
    sessions_.clear();
    emit restarting();
    Log(device_.logName + "device: restarting, console refuses connections for " +
        std::to_string(device_.settings.restartTimeMs) + " ms");
    // A coarse timer may fire up to 5 % early, before the FTP service is back.
    QTimer::singleShot(device_.settings.restartTimeMs, Qt::PreciseTimer, this, &ConsoleServer::ListenAgain);
}

void ConsoleServer::ListenAgain() {
    if (!server_.listen(host_, port_)) {
        Log(device_.logName + "device: console cannot listen again (" + server_.errorString().toStdString() +
            "), retrying");
        QTimer::singleShot(kListenRetryMs, this, &ConsoleServer::ListenAgain);
        return;
    }
    restarting_ = false;
    Log(device_.logName + "device: restarted, console listens on port " + std::to_string(port_));
}

}  // namespace tessel::devsim
