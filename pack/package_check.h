// The check of an update package before it reaches a device: everything the updater refuses, and everything
// that would make an update fail halfway or install something else than its maker meant.
#pragma once

#include <string>
#include <vector>

#include "pack/finding.h"

namespace tessel::pack {

enum class PackageScope {
    // The three firmware files, which must all be there.
    Firmware,
    // The management file, the files it lists and the plain files beside them.
    Script,
    // Both; the firmware files only when the package holds any of them.
    Whole,
};

// All findings at once, in the order of the files and lines. Reads nothing outside the package folder and
// no file beyond the size the updater takes.
std::vector<Finding> CheckPackage(const std::string& packageDirectory, PackageScope scope);

bool HasErrors(const std::vector<Finding>& findings);

}  // namespace tessel::pack
