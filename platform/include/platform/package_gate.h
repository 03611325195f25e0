#pragma once

#include <string>

#include "platform/update_observer.h"

namespace tessel {

// Why a package was refused before an update read it.
enum class PackageRefusal {
    // Keys are trusted, but the package carries no signature.
    Unsigned,
    // Signed by a key that is not trusted.
    UntrustedKey,
    // The signature file does not hold a good signature of its statement (changed, cut short).
    BadSignature,
    // A signed file differs from what was signed.
    FileChanged,
    // A signed file is not in the package.
    FileMissing,
    // The update reads a file that the signature does not cover.
    FileNotSigned,
    // The folder of trusted keys, or a key file in it, cannot be used.
    TrustedKeysUnusable,
    // The checked files cannot be kept for the update.
    CopyFailed,
};

struct PackageAdmission {
    bool admitted = true;
    // Admitted: the folder the update reads the package from (the package itself, or a checked copy of it).
    std::string folder;
    // Refused: why, the file or key it concerns (UTF-8), and the whole reason for a log (UTF-8).
    PackageRefusal refusal = PackageRefusal::Unsigned;
    std::string subject;
    std::string detail;
};

// Admits an update package when an update starts, before anything connects: a front end checks its
// signature against the keys it trusts. The copy it admits lives until the next admission.
class PackageGate {
public:
    virtual ~PackageGate() = default;
    virtual PackageAdmission admit(const std::string& packageDirectory, UpdateProcedure procedure) = 0;
};

}  // namespace tessel
