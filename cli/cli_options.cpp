#include "cli/cli_options.h"

#include <charconv>
#include <map>

namespace tessel::cli {
namespace {

ParsedCommandLine Refuse(std::string why) {
    ParsedCommandLine result;
    result.error = std::move(why);
    return result;
}

}  // namespace

std::optional<long> ParseNumber(const std::string& text, long low, long high) {
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) return std::nullopt;
    return value;
}

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CliOptions options;
    std::map<std::string, std::string> values;
    std::optional<std::string> procedure;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            ParsedCommandLine result;
            result.help = true;
            return result;
        }
        if (arg == "--version") {
            ParsedCommandLine result;
            result.version = true;
            return result;
        }
        if (arg == "--verbose") {
            options.verbose = true;
        } else if (arg == "--verify-version") {
            options.verifyVersion = true;
        } else if (arg == "--skip-current") {
            options.skipCurrent = true;
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--check") {
            options.checkOnly = true;
        } else if (arg == "--address" || arg == "--login" || arg == "--password" || arg == "--ftp-port" ||
                   arg == "--console-port" || arg == "--package" || arg == "--timeout" || arg == "--password-file" ||
                   arg == "--inventory" || arg == "--retry-failed" || arg == "--parallel" || arg == "--canary" ||
                   arg == "--max-failures" || arg == "--report") {
            if (i + 1 >= args.size()) return Refuse(arg + " needs a value");
            values[arg] = args[++i];
        } else if (arg.rfind("--", 0) == 0) {
            return Refuse("unknown option " + arg);
        } else if (procedure) {
            return Refuse("one procedure only, not also \"" + arg + "\"");
        } else {
            procedure = arg;
        }
    }
    constexpr const char* kProcedures = "firmware, script, version or restore-autoscript";
    if (!procedure) return Refuse(std::string("name the procedure: ") + kProcedures);
    if (*procedure == "firmware") {
        options.procedure = UpdateProcedure::Firmware;
    } else if (*procedure == "script") {
        options.procedure = UpdateProcedure::Script;
    } else if (*procedure == "version") {
        options.procedure = UpdateProcedure::VersionQuery;
    } else if (*procedure == "restore-autoscript") {
        options.procedure = UpdateProcedure::AutoscriptRestore;
    } else {
        return Refuse("unknown procedure \"" + *procedure + "\": " + kProcedures);
    }
    if ((options.verifyVersion || options.skipCurrent) && options.procedure != UpdateProcedure::Firmware) {
        return Refuse("--verify-version and --skip-current go with firmware");
    }
    if (options.checkOnly && options.procedure != UpdateProcedure::Firmware &&
        options.procedure != UpdateProcedure::Script) {
        return Refuse("--check goes with firmware or script");
    }
    const auto valueOf = [&values](const char* name) {
        const auto found = values.find(name);
        return found == values.end() ? std::string() : found->second;
    };
    options.inventory = valueOf("--inventory");
    options.retryFailed = valueOf("--retry-failed");
    options.report = valueOf("--report");
    options.passwordFile = valueOf("--password-file");
    const bool fleet = !options.inventory.empty() || !options.retryFailed.empty();
    if (fleet && values.count("--address")) return Refuse("--address or --inventory, not both");
    if (!options.inventory.empty() && !options.retryFailed.empty())
        return Refuse("--inventory or --retry-failed, not both");
    if (!fleet && !options.checkOnly && !values.count("--address"))
        return Refuse("--address (or --inventory) is required");
    if (!fleet && (values.count("--parallel") || values.count("--canary") || values.count("--max-failures") ||
                   values.count("--report"))) {
        return Refuse("--parallel, --canary, --max-failures and --report go with --inventory");
    }
    if (fleet && options.json) return Refuse("--json is for one device; --report writes the fleet's");
    const std::pair<const char*, int*> counts[] = {
        {"--parallel", &options.parallel}, {"--canary", &options.canary}, {"--max-failures", &options.maxFailures}};
    for (const auto& [name, target] : counts) {
        if (!values.count(name)) continue;
        const auto value = ParseNumber(values[name], std::string(name) == "--parallel" ? 1 : 0, 1000);
        if (!value)
            return Refuse(std::string(name) + " takes a number from " +
                          (std::string(name) == "--parallel" ? "1" : "0") + " to 1000");
        *target = static_cast<int>(*value);
    }
    if (!fleet && !options.checkOnly && !values.count("--login")) return Refuse("--login is required");
    options.address = values["--address"];
    options.login = values["--login"];
    options.passwordGiven = values.count("--password") > 0;
    options.password = values["--password"];
    if (values.count("--ftp-port")) {
        if (!ParseNumber(values["--ftp-port"], 1, 65535))
            return Refuse("--ftp-port takes a port number from 1 to 65535");
        options.ftpPort = values["--ftp-port"];
    }
    if (values.count("--console-port")) {
        const auto port = ParseNumber(values["--console-port"], 1, 65535);
        if (!port) return Refuse("--console-port takes a port number from 1 to 65535");
        options.consolePort = static_cast<std::uint16_t>(*port);
    }
    if (values.count("--timeout")) {
        const auto seconds = ParseNumber(values["--timeout"], 1, 86400);
        if (!seconds) return Refuse("--timeout takes a number of seconds from 1 to 86400");
        options.timeoutSeconds = static_cast<int>(*seconds);
    }
    if (values.count("--package")) {
        if (values["--package"].empty()) return Refuse("--package needs a directory");
        options.packageDirectory = values["--package"];
    }
    ParsedCommandLine result;
    result.options = options;
    return result;
}

std::string Usage() {
    return "Usage: tessel-cli firmware|script|version|restore-autoscript --address ADDR --login ID --password PW\n"
           "                  [options]\n"
           "       tessel-cli firmware|script --check [--package DIR]\n"
           "Runs a firmware update or a script update of one device, as the dialog's buttons do; version\n"
           "reads the firmware version the device runs (with the package's version script) and changes\n"
           "nothing else; restore-autoscript puts back an autoscript that an interrupted script update\n"
           "left moved aside. An update of a device whose earlier update was cut off between the\n"
           "move-aside and the restore runs the restore first. The package of an update is checked\n"
           "first: one that fails is refused before anything connects.\n"
           "\n"
           "  --address ADDR       device address or host name\n"
           "  --login ID           console login ID, also the FTP user\n"
           "  --password PW        console and FTP password\n"
           "  --ftp-port N         FTP port of the device (default 21)\n"
           "  --console-port N     console port of the device (default 8002)\n"
           "  --package DIR        folder of the update package (default: this program's folder when it\n"
           "                       holds UpDateMng.txt, else the current folder)\n"
           "  --timeout SECONDS    give up when the update has not ended by then (default 1800)\n"
           "  --verbose            also show the console traffic\n"
           "  --verify-version     firmware: read the version after the update; a version other than the\n"
           "                       package's fails the run\n"
           "  --skip-current       firmware: read the version first; a device that runs the package's\n"
           "                       version is left alone\n"
           "  --json               print the run's record as JSON on standard output (status lines go to\n"
           "                       standard error); version: {\"address\", \"version\"}\n"
           "  --password-file F    the password is the first line of F (else TESSEL_PASSWORD, else a prompt)\n"
           "  --check              only check the package for the procedure and tell every finding\n"
           "\n"
           "Many devices: --inventory FILE instead of --address (CSV with a header row: address, and\n"
           "optionally name, login, password, ftp_port, console_port; empty cells take the command line's\n"
           "values), or --retry-failed REPORT for the devices of an earlier report that did not succeed.\n"
           "  --parallel N         devices at once (default 8)\n"
           "  --canary N           the first N devices run first, alone; the rest only when they succeeded\n"
           "  --max-failures N     start no further device once N have failed\n"
           "  --report FILE        write the fleet's JSON report there\n"
           "  --help               this text\n"
           "  --version            the versions of this program, SkiffS and libcurl\n"
           "\n"
           "Status lines go to standard output as they change, messages to standard error.\n"
           "Moved-aside autoscripts are recorded in $XDG_STATE_HOME/tessel (else ~/.local/state/tessel).\n"
           "Exit status: 0 the update ended with its success message (version: a version was read; --check:\n"
           "the package has no error), 1 it failed, 2 usage error.\n";
}

}  // namespace tessel::cli
