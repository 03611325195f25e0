// One device from the command line: its lock, the run's bound, the dialog and the command's flow.
#pragma once

#include <string>

#include "cli/cli_options.h"

namespace tessel::cli {

// Runs on the main thread's event loop. With --json the device's record goes to standard output and the status
// lines to standard error. Returns the exit status.
int RunSingleDevice(CliOptions options, const std::string& password);

}  // namespace tessel::cli
