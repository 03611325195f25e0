// tessel-cli: the update procedures without a window, for scripts and automation.
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <system_error>

#include "cli/argument_text.h"
#include "cli/cli_options.h"
#include "cli/fleet_runner.h"
#include "cli/package_precheck.h"
#include "cli/password_source.h"
#include "cli/single_run.h"
#include "cli/utf8_console.h"
#include "cli/utf8_path.h"
#include "cli/version_text.h"
#include "dialog/package_folder.h"
#include "dialog/program_directory.h"
#include "platform/os/folders.h"
#include "platform/os/process.h"

using namespace tessel;
using namespace tessel::cli;

namespace {

std::string CurrentFolder() {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::current_path(error);
    return error ? std::string() : TextOf(path);
}

}  // namespace

int main(int argc, char** argv) {
    UseUtf8Console();
    std::vector<std::string> args;
    for (const std::string& argument : os::ProgramArguments(argc, argv)) args.push_back(ArgumentText(argument));
    const ParsedCommandLine command = ParseCommandLine(args);
    if (command.help) {
        std::cout << Usage();
        return 0;
    }
    if (command.version) {
        std::cout << VersionText();
        return 0;
    }
    if (!command.options) {
        std::cerr << "tessel-cli: " << command.error << "\n\n" << Usage();
        return 2;
    }
    CliOptions options = *command.options;
    const std::string programDirectory = ProgramDirectoryOf(os::ProgramPath());
    if (options.packageDirectory.empty())
        options.packageDirectory = DefaultPackageFolder(programDirectory, CurrentFolder());
    // An update's package and its signature are checked before anything connects, for one device or many.
    CheckedPackage admission;
    if (options.procedure == UpdateProcedure::Firmware || options.procedure == UpdateProcedure::Script) {
        const pack::TrustedKeys trusted = pack::LoadTrustedKeys(pack::FindTrustFolder(options.trustedKeys));
        admission = AdmitPackage(options.packageDirectory, options.procedure, options.checkOnly, trusted, std::cout,
                                 std::cerr);
        if (admission.exitStatus) return *admission.exitStatus;
        if (admission.verified) {
            options.checkedPackageDirectory = admission.verified->folder();
            options.packageSigner = admission.verified->check().signer;
            options.packageSignerKey = admission.verified->check().fingerprint;
        }
    }
    // The transfer library reads it at every call: set before any device's thread starts.
    if (options.keepFtpSession) os::SetProcessEnvironment("SKIFFS_KEEP_SESSION", "1");
    const bool fleet = !options.inventory.empty() || !options.retryFailed.empty();
    std::string error;
    const std::optional<std::string> password =
        ResolvePassword(options, fleet ? PipedPassword::Ignore : PipedPassword::Read, error);
    if (fleet) return RunFleet(options, password);
    if (!password) {
        std::cerr << "tessel-cli: " << error << std::endl;
        return 2;
    }
    return RunSingleDevice(options, *password);
}
