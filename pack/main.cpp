// tessel-pack: builds, shows, checks and unpacks update packages.
#include <iostream>
#include <string>
#include <vector>

#include "cli/visible_text.h"
#include "dialog/update_management_file.h"
#include "pack/pack_report.h"
#include "pack/package_build.h"
#include "pack/package_check.h"
#include "pack/package_summary.h"
#include "pack/unpack.h"
#include "platform/os/process.h"
#include "version/tessel_version.h"

using namespace tessel;
using namespace tessel::pack;

namespace {

constexpr int kUsageError = 2;

const char* const kUsage =
    "Usage: tessel-pack build MANIFEST OUTDIR\n"
    "       tessel-pack show DIR [--json]\n"
    "       tessel-pack verify DIR [--json]\n"
    "       tessel-pack unpack DIR OUTDIR\n"
    "       tessel-pack --help | --version\n"
    "\n"
    "  build    writes the update package that the TOML manifest describes into OUTDIR (new, or empty)\n"
    "           and checks it; sources are read relative to the manifest's folder\n"
    "  show     caption, versions, move action, key, and every file with its size and the SHA-256 of\n"
    "           the bytes the device receives\n"
    "  verify   every fault an update would meet with the package, all at once; exit status 1 when\n"
    "           there is an error, 0 when there are warnings at most\n"
    "  unpack   the files the updates install, where the device keeps them (OUTDIR/C:/www/...)\n"
    "  --json   show and verify: the same as a JSON document\n"
    "\n"
    "Exit status: 0 done, 1 the package or manifest is at fault, 2 usage error.\n";

void Print(std::ostream& out, const std::string& text) { out << cli::VisibleText(text) << std::flush; }

void PrintErrors(const std::vector<std::string>& errors) {
    for (const std::string& error : errors) Print(std::cerr, "tessel-pack: " + error + "\n");
}

int Build(const std::string& manifest, const std::string& outputFolder) {
    const PackOutcome outcome = BuildPackage(manifest, outputFolder);
    PrintErrors(outcome.errors);
    if (!outcome.findings.empty()) Print(outcome.done ? std::cout : std::cerr, FindingsText(outcome.findings));
    if (!outcome.done) {
        if (!outcome.findings.empty()) Print(std::cerr, "tessel-pack: the package fails its check; nothing is kept\n");
        return 1;
    }
    Print(std::cout, "built " + outputFolder + "\n");
    return 0;
}

int Show(const std::string& package, bool asJson) {
    const SummaryResult result = SummarizePackage(package);
    if (!result.summary) {
        std::string where(kUpdateManagementFileName);
        if (result.fault.line > 0) where += ", line " + std::to_string(result.fault.line);
        Print(std::cerr, "tessel-pack: " + where + ": " + result.fault.reason +
                             "\n(tessel-pack verify tells every fault of the package)\n");
        return 1;
    }
    Print(std::cout, asJson ? SummaryJson(*result.summary) : SummaryText(*result.summary));
    return 0;
}

int Verify(const std::string& package, bool asJson) {
    const std::vector<Finding> findings = CheckPackage(package, PackageScope::Whole);
    Print(std::cout, asJson ? FindingsJson(findings) : FindingsText(findings));
    return HasErrors(findings) ? 1 : 0;
}

int Unpack(const std::string& package, const std::string& outputFolder) {
    const PackOutcome outcome = UnpackPackage(package, outputFolder);
    PrintErrors(outcome.errors);
    if (!outcome.done) {
        if (!outcome.findings.empty()) Print(std::cerr, FindingsText(outcome.findings));
        return 1;
    }
    Print(std::cout, "unpacked into " + outputFolder + "\n");
    return 0;
}

int UsageError(const std::string& why) {
    std::cerr << "tessel-pack: " << cli::VisibleText(why) << "\n\n" << kUsage;
    return kUsageError;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args = os::ProgramArguments(argc, argv);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << kUsage;
        return 0;
    }
    if (args.size() == 1 && args[0] == "--version") {
        std::cout << "tessel-pack " << kTesselVersion << "\n";
        return 0;
    }
    if (args.empty()) return UsageError("name a command: build, show, verify or unpack");
    const std::string& command = args[0];
    const bool asJson = args.size() == 3 && args[2] == "--json";
    if (command == "build" && args.size() == 3) return Build(args[1], args[2]);
    if (command == "unpack" && args.size() == 3) return Unpack(args[1], args[2]);
    if ((command == "show" || command == "verify") && (args.size() == 2 || asJson)) {
        return command == "show" ? Show(args[1], asJson) : Verify(args[1], asJson);
    }
    return UsageError("cannot read the command line");
}
