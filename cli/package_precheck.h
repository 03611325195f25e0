// The check of the package before an update connects to anything: its faults, and its signature when keys
// are trusted.
#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "pack/trusted_keys.h"
#include "pack/verified_package.h"
#include "platform/update_observer.h"

namespace tessel::cli {

struct CheckedPackage {
    // Set when the command ends here: the exit status.
    std::optional<int> exitStatus;
    // When keys are trusted: the signed files as checked, which the update reads in place of the package.
    std::unique_ptr<pack::VerifiedPackage> verified;
};

// Checks the package for the procedure. checkOnly: writes every finding and the signature's verdict to out
// and ends with the exit status (0 no error, 1 otherwise). Else the update may go on when no exit status is
// set; when keys are trusted it reads the verified copy. A refused package: the reasons go to err and the
// exit status is 1.
CheckedPackage AdmitPackage(const std::string& packageDirectory, UpdateProcedure procedure, bool checkOnly,
                              const pack::TrustedKeys& trusted, std::ostream& out, std::ostream& err);

}  // namespace tessel::cli
