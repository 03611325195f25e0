// tessel-devsim: a simulated device for trials of the updater on one machine.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "devsim/activity_log.h"
#include "devsim/console_server.h"
#include "devsim/devsim_options.h"
#include "devsim/ftp_service.h"
#include "platform/qt/qt_signal_notifier.h"
#include "version/tessel_version.h"

using namespace tessel::devsim;

namespace {

QString FtpScriptPath(const DevsimOptions& options) {
    if (!options.ftpScript.isEmpty()) return options.ftpScript;
    const QString beside = QCoreApplication::applicationDirPath() + "/ftp_server.py";
    if (QFileInfo::exists(beside)) return beside;
    const QString installed = QCoreApplication::applicationDirPath() + "/" TESSEL_DEVSIM_INSTALLED_FTP_SCRIPT;
    return QFileInfo::exists(installed) ? installed : QStringLiteral(TESSEL_DEVSIM_SOURCE_FTP_SCRIPT);
}

// Every file of the device, in path order, for a test or an engineer who asks (SIGUSR1).
void LogDeviceFiles(const std::filesystem::path& root) {
    std::vector<std::pair<std::string, std::uintmax_t>> files;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(root, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_regular_file(error))
            files.emplace_back(std::filesystem::relative(it->path(), root).string(), it->file_size(error));
    }
    std::sort(files.begin(), files.end());
    Log("files:");
    for (const auto& [path, size] : files) Log("file " + path + " " + std::to_string(size));
    Log("files end");
}

int Fail(const QString& message) {
    std::fprintf(stderr, "tessel-devsim: %s\n", message.toLocal8Bit().constData());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const auto parsed = ParseOptions(application.arguments().mid(1));
    if (std::holds_alternative<HelpRequest>(parsed)) {
        std::fputs(UsageText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (std::holds_alternative<VersionRequest>(parsed)) {
        std::printf("tessel-devsim %s\n", std::string(tessel::kTesselVersion).c_str());
        return 0;
    }
    if (const auto* usage = std::get_if<UsageError>(&parsed)) {
        std::fprintf(stderr, "tessel-devsim: %s\n\n%s", usage->message.toLocal8Bit().constData(),
                     UsageText().toLocal8Bit().constData());
        return 2;
    }
    const DevsimOptions& options = std::get<DevsimOptions>(parsed);
    const QString root = QDir(options.root).absolutePath();
    DeviceState device{
        options.device, DeviceFileSystem(QFile::encodeName(root).toStdString()), options.version, false, {}};
    try {
        device.fileSystem.CreateLayout();
        if (!options.autoscript.isEmpty()) {
            std::filesystem::copy_file(QFile::encodeName(options.autoscript).toStdString(),
                                       QFile::encodeName(root).toStdString() + "/C:/system/autoscript.wcr",
                                       std::filesystem::copy_options::overwrite_existing);
        }
    } catch (const std::filesystem::filesystem_error& error) {
        return Fail(QString("cannot prepare the device file system: ") + error.what());
    }

    // SIGINT and SIGTERM stop the device and its FTP server; SIGUSR1 lists its files.
    tessel::QtSignalNotifier signalNotifier({SIGINT, SIGTERM, SIGUSR1});
    ConsoleServer console(device, QHostAddress(options.host), options.link);
    QString error;
    if (!console.Listen(options.consolePort, error)) return Fail("console cannot listen: " + error);
    FtpService ftp;
    if (options.ftp && !ftp.Start({FtpScriptPath(options), root, options.host, options.ftpPort,
                                   QString::fromStdString(options.device.loginId),
                                   QString::fromStdString(options.ftpPassword.value_or(options.device.password)),
                                   options.ftpLog, options.device.restartTimeMs, options.link},
                                  error)) {
        return Fail(error);
    }
    QObject::connect(&console, &ConsoleServer::restarting, &ftp, &FtpService::Restart);
    QObject::connect(&signalNotifier, &tessel::QtSignalNotifier::signalled, &application, [&](int signalNumber) {
        if (signalNumber == SIGUSR1) {
            LogDeviceFiles(QFile::encodeName(root).toStdString());
            return;
        }
        Log("device: stopping on signal " + std::to_string(signalNumber));
        ftp.Stop();
        application.quit();
    });
    Log("ready console=" + std::to_string(console.Port()) + " ftp=" + std::to_string(options.ftp ? ftp.Port() : 0));
    Log("device: root " + root.toStdString() + ", firmware " + device.installedVersion.Text());
    return application.exec();
}
