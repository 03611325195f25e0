#include "cli/package_precheck.h"

#include "cli/visible_text.h"
#include "pack/package_check.h"

namespace tessel::cli {

std::optional<int> CheckPackageFirst(const std::string& packageDirectory, UpdateProcedure procedure, bool checkOnly,
                                     std::ostream& out, std::ostream& err) {
    const pack::PackageScope scope =
        procedure == UpdateProcedure::Firmware ? pack::PackageScope::Firmware : pack::PackageScope::Script;
    const std::vector<pack::Finding> findings = pack::CheckPackage(packageDirectory, scope);
    const bool failed = pack::HasErrors(findings);
    if (checkOnly) {
        out << VisibleText(pack::FindingsText(findings)) << std::flush;
        return failed ? 1 : 0;
    }
    if (!failed) return std::nullopt;
    err << "tessel-cli: the package fails its check; nothing was sent to the device:\n"
        << VisibleText(pack::FindingsText(findings)) << std::flush;
    return 1;
}

}  // namespace tessel::cli
