#include "cli/package_precheck.h"

#include "cli/visible_text.h"
#include "pack/package_check.h"
#include "pack/signature_report.h"

namespace tessel::cli {

CheckedPackage AdmitPackage(const std::string& packageDirectory, UpdateProcedure procedure, bool checkOnly,
                              const pack::TrustedKeys& trusted, std::ostream& out, std::ostream& err) {
    const pack::PackageScope scope =
        procedure == UpdateProcedure::Firmware ? pack::PackageScope::Firmware : pack::PackageScope::Script;
    const std::vector<pack::Finding> findings = pack::CheckPackage(packageDirectory, scope);
    const bool failed = pack::HasErrors(findings);
    CheckedPackage admission;
    if (checkOnly) {
        pack::SignatureCheck signature;
        if (trusted.enforced()) {
            signature = pack::CheckPackageSignature(packageDirectory, trusted, scope, nullptr, packageDirectory);
        }
        out << VisibleText(pack::FindingsText(findings) + pack::SignatureVerdict(signature, trusted)) << std::flush;
        admission.exitStatus = failed || (trusted.enforced() && !signature.verified) ? 1 : 0;
        return admission;
    }
    if (failed) {
        err << "tessel-cli: the package fails its check; nothing was sent to the device:\n"
            << VisibleText(pack::FindingsText(findings)) << std::flush;
        admission.exitStatus = 1;
        return admission;
    }
    if (!trusted.enforced()) return admission;
    admission.verified = std::make_unique<pack::VerifiedPackage>(packageDirectory, trusted, scope);
    if (!admission.verified->check().verified) {
        err << "tessel-cli: the package's signature is refused; nothing was sent to the device:\n"
            << VisibleText(admission.verified->check().failure) << std::endl;
        admission.exitStatus = 1;
    }
    return admission;
}

}  // namespace tessel::cli
