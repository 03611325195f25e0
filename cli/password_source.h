// Where the password comes from, so that it need not stand in the process's arguments.
#pragma once

#include <optional>
#include <string>

#include "cli/cli_options.h"

namespace tessel::cli {

// --password, else the first line of --password-file, else TESSEL_PASSWORD, else, on a terminal, a prompt
// that does not echo. Nullopt with why when none of them gives one.
std::optional<std::string> ResolvePassword(const CliOptions& options, std::string& error);

}  // namespace tessel::cli
