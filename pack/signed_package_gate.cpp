#include "pack/signed_package_gate.h"

namespace tessel::pack {

PackageAdmission SignedPackageGate::admit(const std::string& packageDirectory, UpdateProcedure procedure) {
    verified_.reset();
    PackageAdmission admission;
    admission.folder = packageDirectory;
    const TrustedKeys trusted = LoadTrustedKeys(folder_);
    if (!trusted.enforced()) return admission;
    const PackageScope scope = procedure == UpdateProcedure::Script ? PackageScope::Script : PackageScope::Firmware;
    verified_ = std::make_unique<VerifiedPackage>(packageDirectory, trusted, scope);
    const SignatureCheck& check = verified_->check();
    if (check.verified) {
        admission.folder = verified_->folder();
        return admission;
    }
    admission.admitted = false;
    admission.refusal = check.refusal;
    admission.subject = check.subject;
    admission.detail = check.failure;
    verified_.reset();
    return admission;
}

}  // namespace tessel::pack
