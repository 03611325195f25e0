#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <variant>

#include "devsim/device_state.h"
#include "devsim/link_direction.h"

namespace tessel::devsim {

struct DevsimOptions {
    QString root;
    QString host = "127.0.0.1";  // of the first device; a fleet's next devices take the next addresses
    unsigned devices = 1;          // devices simulated side by side, each on an address and a folder of its own
    quint16 consolePort = 8002;
    quint16 ftpPort = 0;
    bool ftp = true;
    // The FTP service's own password when it differs from the console's (a misconfigured device).
    std::optional<std::string> ftpPassword;
    QString ftpScript;   // empty: the script beside the program, else the one in the source tree
    QString autoscript;  // empty: the device keeps (or gets) its standard autoscript
    QString ftpLog;      // empty: the FTP server keeps no command log
    LinkSettings link;
    FirmwareVersion version{1, 7, 0};
    DeviceSettings device;
};

struct HelpRequest {};
struct VersionRequest {};
struct UsageError {
    QString message;
};

// Reads the command line (arguments without the program name); the usage text is UsageText().
std::variant<DevsimOptions, HelpRequest, VersionRequest, UsageError> ParseOptions(const QStringList& arguments);
QString UsageText();

}  // namespace tessel::devsim
