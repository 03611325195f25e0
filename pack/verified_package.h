// A signed package as an update takes it when keys are trusted: each signed file read once, checked against
// the signature, and copied as checked into a private folder that the update then reads in place of the
// package. A file changed in the package after the check is never sent.
#pragma once

#include <optional>
#include <string>

#include "pack/signature_check.h"
#include "platform/os/held_folder.h"

namespace tessel::pack {

class VerifiedPackage {
public:
    // Checks the package for the update of scope and copies it.
    VerifiedPackage(const std::string& packageDirectory, const TrustedKeys& trusted, PackageScope scope);
    VerifiedPackage(const VerifiedPackage&) = delete;
    VerifiedPackage& operator=(const VerifiedPackage&) = delete;

    const SignatureCheck& check() const { return check_; }
    // The checked copy (removed with this); empty unless check().verified.
    const std::string& folder() const { return folder_; }

private:
    SignatureCheck check_;
    std::optional<os::HeldFolder> held_;
    std::string folder_;
};

}  // namespace tessel::pack
