// The check of the package before an update connects to anything.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "platform/update_observer.h"

namespace tessel::cli {

// Checks the package for the procedure. checkOnly: writes every finding to out and returns the exit status
// (0 no error, 1 otherwise). Else returns nullopt when the update may go on, or writes the errors to err and
// returns 1.
std::optional<int> CheckPackageFirst(const std::string& packageDirectory, UpdateProcedure procedure, bool checkOnly,
                                     std::ostream& out, std::ostream& err);

}  // namespace tessel::cli
