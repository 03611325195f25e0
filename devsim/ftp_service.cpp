#include "devsim/ftp_service.h"

#include "devsim/activity_log.h"

#include <QDeadlineTimer>
#include <QProcessEnvironment>

#include "devsim/posix/parent_death.h"

namespace tessel::devsim {

namespace {

constexpr int kStartTimeoutMs = 15000;
constexpr int kStopTimeoutMs = 5000;

}  // namespace

FtpService::~FtpService() { Stop(); }

bool FtpService::Start(const FtpServiceSettings& settings, QString& error) {
    process_.setProgram("/usr/bin/python3");
    QStringList arguments = {settings.script, "--commands", "--port", QString::number(settings.port), "--user",
                             settings.user, "--link-delay", QString::number(settings.link.delayMs), "--link-rate",
                             QString::number(settings.link.rateKbit), "--restart-time",
                             QString::number(settings.restartTimeMs)};
    for (const FtpDevice& device : settings.devices) arguments << "--device" << device.address << device.root;
    if (!settings.log.isEmpty()) arguments << "--log" << settings.log;
    process_.setArguments(arguments);
    // Not in the arguments, which every user of the machine can read.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TESSEL_FTP_PASSWORD", settings.password);
    process_.setProcessEnvironment(environment);
    process_.setChildProcessModifier(EndWithParent);
    connect(&process_, &QProcess::readyReadStandardError, this, &FtpService::ForwardServerLog);
    process_.start();
    if (!process_.waitForStarted(kStartTimeoutMs)) {
        error = "FTP server did not start: " + process_.errorString();
        return false;
    }
    const QDeadlineTimer deadline(kStartTimeoutMs);
    while (!process_.canReadLine()) {
        if (process_.state() != QProcess::Running || deadline.hasExpired() ||
            !process_.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            error = "FTP server did not report its port: " + QString::fromLocal8Bit(process_.readAllStandardError());
            Stop();
            return false;
        }
    }
    bool ok = false;
    port_ = static_cast<quint16>(process_.readLine().trimmed().toUInt(&ok));
    if (!ok || port_ == 0) {
        error = "FTP server reported no port";
        Stop();
        return false;
    }
    connect(&process_, &QProcess::finished, this, [](int code) {
        Log("ftp: server ended unexpectedly, exit code " + std::to_string(code));
    });
    return true;
}

void FtpService::Stop() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.disconnect(this);
    process_.terminate();
    if (!process_.waitForFinished(kStopTimeoutMs)) {
        process_.kill();
        process_.waitForFinished(kStopTimeoutMs);
    }
    Log("ftp: server stopped");
}

void FtpService::Restart(const QString& address) {
    if (process_.state() != QProcess::Running) return;
    process_.write("restart " + address.toLatin1() + "\n");
    Log("ftp: restarting " + address.toStdString() + ", its connections end");
}

void FtpService::ForwardServerLog() {
    partialLog_ += process_.readAllStandardError();
    for (qsizetype end = partialLog_.indexOf('\n'); end >= 0; end = partialLog_.indexOf('\n')) {
        Log("ftp: " + partialLog_.left(end).toStdString());
        partialLog_.remove(0, end + 1);
    }
}

}  // namespace tessel::devsim
