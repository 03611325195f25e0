// Many devices from one command: each running device has a thread of its own, with its own dialog, sockets,
// timers, uploader and event loop, so that the pauses and uploads of one never hold another.
#pragma once

#include <optional>
#include <string>

#include "cli/cli_options.h"

namespace tessel::cli {

// Runs the devices of --inventory or --retry-failed, on the main thread's event loop. The common password
// may be missing when every row gives its own. Returns 0 when every device succeeded, 1 when any failed, was
// skipped or interrupted, 2 when the inventory or report is refused.
int RunFleet(CliOptions options, const std::optional<std::string>& password);

}  // namespace tessel::cli
