// tessel-pack unpack: the plain files of a package where the device keeps them ("C:/www/index.htm"), for a
// review or a comparison of two packages.
#pragma once

#include <string>
#include <vector>

#include "pack/finding.h"

namespace tessel::pack {

struct UnpackOutcome {
    bool unpacked = false;
    std::vector<std::string> errors;
    // The check of the package; one with an error is not unpacked.
    std::vector<Finding> findings;
};

// Writes into outputFolder (new, or empty) each file the updates would install: the listed files (of two with
// one device path, the later, as on the device), the plain files, and the firmware files on drive B:.
UnpackOutcome UnpackPackage(const std::string& packageDirectory, const std::string& outputFolder);

}  // namespace tessel::pack
