// tessel-pack build: an update package from its manifest.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pack/manifest.h"
#include "pack/pack_outcome.h"

namespace tessel::pack {

// A source file below the manifest's folder, as a package file takes it: each byte XORed with key (0 for
// a plain copy), read in pieces when the file is written.
struct PackageSource {
    std::string relative;
    std::uintmax_t maxBytes = 0;
    std::uint8_t key = 0;
};

// One file of a package: its name (code page 932 bytes) and its bytes, made by the builder or taken from a
// source.
struct PackageFile {
    std::string name;
    std::string bytes;
    std::optional<PackageSource> source;
};

struct ComposedPackage {
    std::vector<PackageFile> files;
    // Why the manifest cannot make a package, all at once.
    std::vector<std::string> errors;
};

// The files of the package, in the order they are written: the management file, the scrambled files, the
// plain files, the firmware files. Sources lie below sourceFolder, reached without a link; they are only
// looked at here (nothing is read before the manifest's counts are checked). The same manifest and
// sources give the same files.
ComposedPackage ComposePackage(const Manifest& manifest, const std::string& sourceFolder);

// Reads the manifest, writes the package into outputFolder (new, or empty) and checks it.
PackOutcome BuildPackage(const std::string& manifestPath, const std::string& outputFolder);

}  // namespace tessel::pack
