#include "cli/command_flow.h"

#include <optional>
#include <string>

#include "cli/visible_text.h"
#include "dialog/cp932.h"
#include "procedures/firmware_version.h"

namespace tessel::cli {
namespace {

// The version the device reported (code page 932 bytes), or nullopt after the query failed.
std::optional<std::string> QueryVersion(CTesselDlg& dialog, UpdateEndWaiter& waiter, std::ostream& err) {
    if (RunUpdate(dialog, waiter, UpdateProcedure::VersionQuery, err) != 0) return std::nullopt;
    const std::vector<std::string>& versions = waiter.outcome()->firmwareVersions;
    if (versions.empty()) return std::nullopt;
    return Trimmed(versions.back());
}

bool SameVersion(const std::string& device, const std::string& package) {
    const auto deviceNumber = VersionNumber(device);
    return deviceNumber && deviceNumber == VersionNumber(package);
}

std::string Shown(const std::string& cp932) { return VisibleText(Cp932ToUtf8(cp932)); }

}  // namespace

int RunCommandFlow(CTesselDlg& dialog, UpdateEndWaiter& waiter, const CliOptions& options, std::ostream& out,
                   std::ostream& err) {
    const std::string packageVersion = Trimmed(dialog.header().firmwareVersion);
    if (options.skipCurrent) {
        const std::optional<std::string> version = QueryVersion(dialog, waiter, err);
        if (!version) return 1;
        if (SameVersion(*version, packageVersion)) {
            out << "tessel-cli: the device already runs firmware " << Shown(*version) << "; left alone" << std::endl;
            return 0;
        }
    }
    int status = RunUpdate(dialog, waiter, options.procedure, err);
    const std::optional<UpdateOutcome>& outcome = waiter.outcome();
    // The core ran the restore in place of the update: the update itself comes after it.
    if (outcome && outcome->procedure == UpdateProcedure::AutoscriptRestore &&
        options.procedure != UpdateProcedure::AutoscriptRestore) {
        err << "tessel-cli: an earlier update of this device was interrupted; its autoscript was restored first"
            << std::endl;
        if (status != 0) return status;
        status = RunUpdate(dialog, waiter, options.procedure, err);
    }
    if (status != 0) return status;
    if (options.procedure == UpdateProcedure::VersionQuery) {
        out << "firmware " << Shown(Trimmed(waiter.outcome()->firmwareVersions.back())) << std::endl;
    }
    if (options.verifyVersion) {
        const std::optional<std::string> version = QueryVersion(dialog, waiter, err);
        if (!version) return 1;
        if (!SameVersion(*version, packageVersion)) {
            err << "tessel-cli: after the update the device runs firmware " << Shown(*version)
                << ", but the package carries " << Shown(packageVersion) << std::endl;
            return 1;
        }
        out << "tessel-cli: the device runs firmware " << Shown(*version) << ", as the package carries" << std::endl;
    }
    return 0;
}

}  // namespace tessel::cli
