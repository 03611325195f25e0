// tessel-pack build: an update package from its manifest.
#pragma once

#include <string>
#include <vector>

#include "pack/manifest.h"
#include "pack/pack_outcome.h"

namespace tessel::pack {

// One file of a package: its name (code page 932 bytes) and its bytes.
struct PackageFile {
    std::string name;
    std::string bytes;
};

struct ComposedPackage {
    std::vector<PackageFile> files;
    // Why the manifest cannot make a package, all at once.
    std::vector<std::string> errors;
};

// The files of the package, in the order they are written: the management file, the scrambled files, the
// plain files, the firmware files. Sources are read relative to sourceFolder, and only there. The same
// manifest and sources give the same files.
ComposedPackage ComposePackage(const Manifest& manifest, const std::string& sourceFolder);

// Reads the manifest, writes the package into outputFolder (new, or empty) and checks it.
PackOutcome BuildPackage(const std::string& manifestPath, const std::string& outputFolder);

}  // namespace tessel::pack
