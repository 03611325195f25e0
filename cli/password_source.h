// Where the password comes from, so that it need not stand in the process's arguments.
#pragma once

#include <optional>
#include <string>

#include "cli/cli_options.h"

namespace tessel::cli {

// Whether a standard input that is not a terminal (a pipe, a file) is read for the password: only where one
// is needed. A fleet whose inventory may hold every password must not wait on an input that nobody writes to.
enum class PipedPassword { Read, Ignore };

// --password, else the first line of --password-file, else TESSEL_PASSWORD, else, on a terminal, a prompt
// that does not echo, else (with PipedPassword::Read) the first line of the standard input. The text is the
// platform's narrow text, UTF-8 on Windows, as the dialog's fields hold it. Nullopt with why when none of them
// gives one.
std::optional<std::string> ResolvePassword(const CliOptions& options, PipedPassword piped, std::string& error);

}  // namespace tessel::cli
