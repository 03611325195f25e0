// tessel-devsim: a simulated device for trials of the updater on one machine.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "devsim/activity_log.h"
#include "devsim/console_server.h"
#include "devsim/devsim_options.h"
#include "devsim/fleet_layout.h"
#include "devsim/ftp_service.h"
#include "devsim/posix/open_file_limit.h"
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

// One simulated device: its address, its folder, what it is, and its console.
struct SimulatedDevice {
    SimulatedDevice(const DevsimOptions& options, QString deviceAddress, QString deviceRoot)
        : address(std::move(deviceAddress)),
          root(std::move(deviceRoot)),
          state{
              options.device, DeviceFileSystem(QFile::encodeName(root).toStdString()), options.version, false, {}, {}},
          console(state, QHostAddress(address), options.link) {}

    QString address;
    QString root;
    DeviceState state;
    ConsoleServer console;
};

// Creates what a fresh device has, and its start-up script when one is given; empty, or what went wrong.
QString Prepare(const DevsimOptions& options, const DeviceFileSystem& fileSystem) {
    try {
        fileSystem.CreateLayout();
        if (!options.autoscript.isEmpty()) {
            std::filesystem::copy_file(QFile::encodeName(options.autoscript).toStdString(),
                                       fileSystem.Root() / "C:" / "system" / "autoscript.wcr",
                                       std::filesystem::copy_options::overwrite_existing);
        }
    } catch (const std::filesystem::filesystem_error& error) {
        return error.what();
    }
    return {};
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
    std::string limitError;
    if (!RaiseOpenFileLimit(limitError)) Log("device: cannot raise the open file limit: " + limitError);
    const QString root = QDir(options.root).absolutePath();
    std::vector<std::unique_ptr<SimulatedDevice>> devices;
    for (unsigned i = 0; i < options.devices; ++i) {
        const QString address = *DeviceAddress(options.host, i);
        devices.push_back(
            std::make_unique<SimulatedDevice>(options, address, DeviceRoot(root, address, options.devices)));
        if (options.devices > 1) devices.back()->state.logName = address.toStdString() + " ";
        if (const QString problem = Prepare(options, devices.back()->state.fileSystem); !problem.isEmpty())
            return Fail("cannot prepare the device file system: " + problem);
    }

    // SIGINT and SIGTERM stop the devices and their FTP server; SIGUSR1 lists their files.
    tessel::QtSignalNotifier signalNotifier({SIGINT, SIGTERM, SIGUSR1});
    // A free port the first device takes is the port of all.
    quint16 consolePort = options.consolePort;
    QString error;
    for (const auto& device : devices) {
        if (!device->console.Listen(consolePort, error))
            return Fail("console of " + device->address + " cannot listen: " + error);
        consolePort = device->console.Port();
    }
    FtpServiceSettings ftpSettings{FtpScriptPath(options),
                                   {},
                                   options.ftpPort,
                                   QString::fromStdString(options.device.loginId),
                                   QString::fromStdString(options.ftpPassword.value_or(options.device.password)),
                                   options.ftpLog,
                                   options.device.restartTimeMs,
                                   options.link};
    for (const auto& device : devices) ftpSettings.devices.push_back({device->address, device->root});
    FtpService ftp;
    if (options.ftp && !ftp.Start(ftpSettings, error)) return Fail(error);
    for (const auto& device : devices) {
        QObject::connect(&device->console, &ConsoleServer::restarting, &ftp,
                         [&ftp, address = device->address] { ftp.Restart(address); });
    }
    QObject::connect(&signalNotifier, &tessel::QtSignalNotifier::signalled, &application, [&](int signalNumber) {
        if (signalNumber == SIGUSR1) {
            LogDeviceFiles(QFile::encodeName(root).toStdString());
            return;
        }
        Log("device: stopping on signal " + std::to_string(signalNumber));
        ftp.Stop();
        application.quit();
    });
    Log("ready console=" + std::to_string(consolePort) + " ftp=" + std::to_string(options.ftp ? ftp.Port() : 0));
    for (const auto& device : devices) {
        Log(device->state.logName + "device: root " + device->root.toStdString() + ", firmware " +
            device->state.installedVersion.Text());
    }
    return application.exec();
}
