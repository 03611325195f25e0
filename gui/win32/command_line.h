#pragma once

#include <optional>
#include <string>
#include <vector>

#include "gui/device_ports.h"

namespace tessel {

// The options of the dialog program, as on Linux: --package DIR, --ftp-port N, --console-port N, --version
// and --help; an option's value follows it or is joined to it with "=". Arguments are UTF-8.
struct DialogCommandLine {
    std::optional<std::string> packageFolder;
    DevicePorts ports;
    bool version = false;
    bool help = false;
    // What is wrong with the arguments; empty when nothing is.
    std::string error;
};

DialogCommandLine ParseDialogCommandLine(const std::vector<std::string>& arguments);

// The text --help prints.
std::string DialogUsage();

inline constexpr int kUsageError = 2;

}  // namespace tessel
