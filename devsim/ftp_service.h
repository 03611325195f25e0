#pragma once

#include <QObject>
#include <QProcess>
#include <QString>

#include <vector>

#include "devsim/link_direction.h"

namespace tessel::devsim {

// One device the service serves: its address, and the folder it serves there.
struct FtpDevice {
    QString address;
    QString root;
};

struct FtpServiceSettings {
    QString script;  // the FTP server script, run with /usr/bin/python3
    std::vector<FtpDevice> devices;
    quint16 port = 0;  // 0: any free port, which the first device takes and the others share
    QString user;
    QString password;
    QString log;  // empty: no command log
    int restartTimeMs = 3000;  // after a restart, time during which new connections are refused
    LinkSettings link;
};

// The devices' FTP service: a real FTP server over each device's file system on the device's address, all in
// one child process that this object starts and stops (and that ends with the simulator, should the simulator
// be killed).
class FtpService : public QObject {
    Q_OBJECT

public:
    ~FtpService() override;

    // Starts the server and waits, bounded, for the port it listens on; false with a reason on failure.
    bool Start(const FtpServiceSettings& settings, QString& error);
    void Stop();
    // The device on address restarts: its FTP connections end, and new ones are refused for the restart time.
    void Restart(const QString& address);
    quint16 Port() const { return port_; }

private:
    void ForwardServerLog();

    QProcess process_;
    quint16 port_ = 0;
    QByteArray partialLog_;
};

}  // namespace tessel::devsim
