// The dialog's package gate: when the trusted-keys folder holds a key, an update takes the package only
// when it is signed by one of them, and reads the checked copy of its files.
#pragma once

#include <memory>

#include "pack/trust_folder.h"
#include "pack/verified_package.h"
#include "platform/package_gate.h"

namespace tessel::pack {

class SignedPackageGate final : public PackageGate {
public:
    // The keys are read afresh at every update: a key given to the folder counts at the next press.
    explicit SignedPackageGate(TrustFolder folder) : folder_(std::move(folder)) {}

    PackageAdmission admit(const std::string& packageDirectory, UpdateProcedure procedure) override;

private:
    TrustFolder folder_;
    std::unique_ptr<VerifiedPackage> verified_;
};

}  // namespace tessel::pack
