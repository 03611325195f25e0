// tessel-cli: the update procedures without a window, for scripts and automation.
#include <QCoreApplication>
#include <QDir>
#include <cstdlib>
#include <iostream>

#include "cli/cli_options.h"
#include "cli/fleet_runner.h"
#include "cli/package_precheck.h"
#include "cli/password_source.h"
#include "cli/single_run.h"
#include "cli/version_text.h"
#include "dialog/package_folder.h"
#include "dialog/program_directory.h"

using namespace tessel;
using namespace tessel::cli;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // Arguments arrive in the terminal's encoding; the dialog's fields hold UTF-8.
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(QString::fromLocal8Bit(argv[i]).toStdString());
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
    const std::string programDirectory = ProgramDirectoryOf(QCoreApplication::applicationFilePath().toStdString());
    if (options.packageDirectory.empty())
        options.packageDirectory = DefaultPackageFolder(programDirectory, QDir::currentPath().toStdString());
    // An update's package is checked before anything connects, for one device or many.
    if (options.procedure == UpdateProcedure::Firmware || options.procedure == UpdateProcedure::Script) {
        if (const std::optional<int> status = CheckPackageFirst(options.packageDirectory, options.procedure,
                                                                options.checkOnly, std::cout, std::cerr)) {
            return *status;
        }
    }
    // The transfer library reads it at every call: set before any device's thread starts.
    if (options.keepFtpSession) setenv("SKIFFS_KEEP_SESSION", "1", 1);
    const bool fleet = !options.inventory.empty() || !options.retryFailed.empty();
    std::string error;
    const std::optional<std::string> password = ResolvePassword(options, error);
    if (fleet) return RunFleet(options, password);
    if (!password) {
        std::cerr << "tessel-cli: " << error << std::endl;
        return 2;
    }
    return RunSingleDevice(options, *password);
}
