// tessel-pack unpack: the plain files of a package where the device keeps them ("C:/www/index.htm"), for a
// review or a comparison of two packages.
#pragma once

#include <string>

#include "pack/pack_outcome.h"

namespace tessel::pack {

// Writes into outputFolder (new, or empty) each file the updates would install: the listed files (of two with
// one device path, the later, as on the device), the plain files, and the firmware files on drive B:.
PackOutcome UnpackPackage(const std::string& packageDirectory, const std::string& outputFolder);

}  // namespace tessel::pack
