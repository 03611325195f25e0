#include "gui/command_line.h"

#include <QCoreApplication>

#include <cstring>

namespace tessel {
namespace {

std::optional<std::uint16_t> ParsePort(const QString& text) {
    bool ok = false;
    const uint value = text.toUInt(&ok, 10);
    // toUInt takes surrounding blanks and a sign; a port is digits only.
    if (!ok || text.isEmpty() || !text.front().isDigit() || !text.back().isDigit() || value < 1 || value > 65535) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

}  // namespace

TesselCommandLine::TesselCommandLine()
    : package_(QStringLiteral("package"),
               QStringLiteral("Use the update package in DIR. Without it: the program's folder when it holds "
                              "UpDateMng.txt, else the current folder."),
               QStringLiteral("DIR")),
      ftpPort_(QStringLiteral("ftp-port"), QStringLiteral("The device's FTP port (default 21)."),
               QStringLiteral("N")),
      consolePort_(QStringLiteral("console-port"), QStringLiteral("The device's console port (default 8002)."),
                   QStringLiteral("N")),
      version_(QStringLiteral("version"), QStringLiteral("Print the program's version.")) {
    parser_.setApplicationDescription(QStringLiteral("The operator's dialog for updating a device."));
    parser_.addHelpOption();
    parser_.addOption(package_);
    parser_.addOption(ftpPort_);
    parser_.addOption(consolePort_);
    parser_.addOption(version_);
}

bool TesselCommandLine::AsksForHelp(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        for (const char* help : {"-h", "--help", "--help-all"}) {
            if (std::strcmp(argv[i], help) == 0) return true;
        }
    }
    return false;
}

std::optional<QString> TesselCommandLine::parse(const QCoreApplication& application) {
    parser_.process(application);
    const struct {
        const QCommandLineOption& option;
        std::uint16_t& port;
    } ports[] = {{ftpPort_, ports_.ftp}, {consolePort_, ports_.console}};
    for (const auto& [option, port] : ports) {
        if (!parser_.isSet(option)) continue;
        const QString text = parser_.value(option);
        const std::optional<std::uint16_t> value = ParsePort(text);
        if (!value) {
            return QStringLiteral("--%1 takes a port number from 1 to 65535, not \"%2\"")
                .arg(option.names().front(), text);
        }
        port = *value;
    }
    return std::nullopt;
}

std::optional<QString> TesselCommandLine::packageFolder() const {
    if (!parser_.isSet(package_)) return std::nullopt;
    return parser_.value(package_);
}

}  // namespace tessel
