// How a tessel-pack command that writes a folder (build, unpack) ended.
#pragma once

#include <string>
#include <vector>

#include "pack/finding.h"

namespace tessel::pack {

struct PackOutcome {
    // The folder was written and kept.
    bool done = false;
    // What stopped the command before or while it wrote: the manifest, a folder, a file.
    std::vector<std::string> errors;
    // The check of the package; a package with an error is not kept (build) or not unpacked (unpack).
    std::vector<Finding> findings;
};

}  // namespace tessel::pack
