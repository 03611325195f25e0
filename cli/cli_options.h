// The command line of tessel-cli.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/update_observer.h"

namespace tessel::cli {

struct CliOptions {
    UpdateProcedure procedure = UpdateProcedure::Firmware;
    // UTF-8, as the dialog's fields hold them.
    std::string address;
    std::string login;
    std::string password;
    std::string ftpPort = "21";
    std::uint16_t consolePort = 8002;
    // Empty: the program's own directory.
    std::string packageDirectory;
    bool verbose = false;
    // Only check the package for the procedure; connect to nothing.
    bool checkOnly = false;
    // The longest the whole update may take, restarts included.
    int timeoutSeconds = 1800;
};

struct ParsedCommandLine {
    std::optional<CliOptions> options;
    bool help = false;
    // Why the command line was refused.
    std::string error;
};

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args);

std::string Usage();

}  // namespace tessel::cli
