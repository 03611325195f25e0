// Many devices from one command: each device's run is a tessel-cli process of its own, so that the pauses and
// uploads of one never hold another.
#pragma once

#include <optional>
#include <string>

#include "cli/cli_options.h"

namespace tessel::cli {

// Runs the devices of --inventory or --retry-failed; programPath is this program, run once per device. The
// common password may be missing when every row gives its own. Returns 0 when every device succeeded, 1 when
// any failed, was skipped or interrupted, 2 when the inventory or report is refused.
int RunFleet(const CliOptions& options, const std::optional<std::string>& password, const std::string& programPath);

}  // namespace tessel::cli
