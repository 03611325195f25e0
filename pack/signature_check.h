// The check of a package against its signature and the trusted keys: the signature file, the signer's key,
// and every signed file's size and SHA-256 as it is read.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "pack/package_check.h"
#include "pack/package_statement.h"
#include "pack/trusted_keys.h"
#include "platform/package_gate.h"

namespace tessel::pack {

struct SignatureCheck {
    // The package is signed by a trusted key and every file the update reads is as signed.
    bool verified = false;
    // The trusted key's name (NAME of NAME.pub) and fingerprint, when the signature is good.
    std::string signer;
    std::string fingerprint;
    // What failed, naming the file or key (UTF-8); empty when verified.
    std::string failure;
    // What failed, as the dialog tells it, and the file or key it concerns (UTF-8).
    PackageRefusal refusal = PackageRefusal::Unsigned;
    std::string subject;
    std::optional<PackageStatement> statement;
};

// Receives each signed file's bytes once they are checked; false stops the check as failed.
using CheckedFileSink = std::function<bool(const StatementFile& file, const std::string& bytes)>;

// Reads the signature file and each signed file of the package once, checks them against the trusted keys
// and hands each checked file to sink (when there is one). Then makes sure that every file the update of
// scope reads from readFolder (the package folder, or where sink put the files) is signed. trusted must
// hold a key and no error.
SignatureCheck CheckPackageSignature(const std::string& packageDirectory, const TrustedKeys& trusted, PackageScope scope,
                                     const CheckedFileSink& sink, const std::string& readFolder);

// The statement and signer the package's signature file declares, unchecked (for tessel-pack show); failure
// says why there is none.
SignatureCheck ReadDeclaredSignature(const std::string& packageDirectory);

}  // namespace tessel::pack
