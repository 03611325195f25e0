#pragma once

#include <QObject>
#include <QProcess>
#include <QString>

#include "devsim/link_direction.h"

namespace tessel::devsim {

struct FtpServiceSettings {
    QString script;  // the FTP server script, run with /usr/bin/python3
    QString root;
    QString host;
    quint16 port = 0;  // 0: any free port
    QString user;
    QString password;
    QString log;  // empty: no command log
    int restartTimeMs = 3000;  // after a restart, time during which new connections are refused
    LinkSettings link;
};

// The device's FTP service: a real FTP server over the device file system, in a child process that this
// object starts and stops (and that ends with the simulator, should the simulator be killed).
class FtpService : public QObject {
    Q_OBJECT

public:
    ~FtpService() override;

    // Starts the server and waits, bounded, for the port it listens on; false with a reason on failure.
    bool Start(const FtpServiceSettings& settings, QString& error);
    void Stop();
    // The device restarts: every FTP connection ends, and new ones are refused for the restart time.
    void Restart();
    quint16 Port() const { return port_; }

private:
    void ForwardServerLog();

    QProcess process_;
    quint16 port_ = 0;
    QByteArray partialLog_;
};

}  // namespace tessel::devsim
