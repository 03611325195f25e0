#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>

#include <optional>

#include "gui/device_ports.h"

class QCoreApplication;

namespace tessel {

// The options of the dialog program.
class TesselCommandLine {
public:
    TesselCommandLine();

    // True when argv asks for the help text: it is printed without a window system, as the version is.
    static bool AsksForHelp(int argc, char** argv);

    // Reads the application's arguments. Help, and options it does not know, end the process as Qt's parser
    // does; a port that is no number from 1 to 65535 gives the message to print (and exit status 2).
    std::optional<QString> parse(const QCoreApplication& application);

    // The package folder named on the command line.
    std::optional<QString> packageFolder() const;
    const DevicePorts& ports() const { return ports_; }

    static constexpr int kUsageError = 2;

private:
    QCommandLineParser parser_;
    QCommandLineOption package_;
    QCommandLineOption ftpPort_;
    QCommandLineOption consolePort_;
    QCommandLineOption version_;
    DevicePorts ports_;
};

}  // namespace tessel
