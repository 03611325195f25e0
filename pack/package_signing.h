// tessel-pack keygen and sign: a signing key pair, and the signature file of a package.
#pragma once

#include <string>
#include <vector>

#include "pack/package_statement.h"

namespace tessel::pack {

// Writes NAME.key (the private key, readable by its owner alone) and NAME.pub; neither may exist yet.
// Returns why it could not, or nothing.
std::vector<std::string> WriteKeyPair(const std::string& name);

struct SignOutcome {
    bool done = false;
    std::vector<std::string> errors;
    PackageStatement statement;
};

// Signs every file an update reads from the package (its management file, the files it lists, the plain
// files, the firmware files it holds) with the private key in keyPath, as the signer named by the key file's
// name, and writes the signature file beside the management file, in place of any earlier one.
SignOutcome SignPackage(const std::string& packageDirectory, const std::string& keyPath);

}  // namespace tessel::pack
