#include "cli/cli_options.h"

#include <charconv>
#include <map>

namespace tessel::cli {
namespace {

std::optional<long> Number(const std::string& text, long low, long high) {
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) return std::nullopt;
    return value;
}

ParsedCommandLine Refuse(std::string why) {
    ParsedCommandLine result;
    result.error = std::move(why);
    return result;
}

}  // namespace

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
        if (arg == "--verbose") {
            options.verbose = true;
        } else if (arg == "--check") {
            options.checkOnly = true;
        } else if (arg == "--address" || arg == "--login" || arg == "--password" || arg == "--ftp-port" ||
                   arg == "--console-port" || arg == "--package" || arg == "--timeout") {
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
    if (!procedure) return Refuse("name the procedure: firmware or script");
    if (*procedure == "firmware") {
        options.procedure = UpdateProcedure::Firmware;
    } else if (*procedure == "script") {
        options.procedure = UpdateProcedure::Script;
    } else {
        return Refuse("unknown procedure \"" + *procedure + "\": firmware or script");
    }
    for (const char* required : {"--address", "--login", "--password"}) {
        if (!values.count(required) && !options.checkOnly) return Refuse(std::string(required) + " is required");
    }
    options.address = values["--address"];
    options.login = values["--login"];
    options.password = values["--password"];
    if (values.count("--ftp-port")) {
        if (!Number(values["--ftp-port"], 1, 65535)) return Refuse("--ftp-port takes a port number from 1 to 65535");
        options.ftpPort = values["--ftp-port"];
    }
    if (values.count("--console-port")) {
        const auto port = Number(values["--console-port"], 1, 65535);
        if (!port) return Refuse("--console-port takes a port number from 1 to 65535");
        options.consolePort = static_cast<std::uint16_t>(*port);
    }
    if (values.count("--timeout")) {
        const auto seconds = Number(values["--timeout"], 1, 86400);
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
    return "Usage: tessel-cli firmware|script --address ADDR --login ID --password PW [options]\n"
           "       tessel-cli firmware|script --check [--package DIR]\n"
           "Runs a firmware update or a script update of one device, as the dialog's buttons do. The package\n"
           "is checked first: one that fails is refused before anything connects.\n"
           "\n"
           "  --address ADDR       device address or host name\n"
           "  --login ID           console login ID, also the FTP user\n"
           "  --password PW        console and FTP password\n"
           "  --ftp-port N         FTP port of the device (default 21)\n"
           "  --console-port N     console port of the device (default 8002)\n"
           "  --package DIR        folder of the update package (default: this program's folder)\n"
           "  --timeout SECONDS    give up when the update has not ended by then (default 1800)\n"
           "  --verbose            also show the console traffic\n"
           "  --check              only check the package for the procedure and tell every finding\n"
           "  --help               this text\n"
           "\n"
           "Status lines go to standard output as they change, messages to standard error.\n"
           "Exit status: 0 the update ended with its success message (with --check: the package has no\n"
           "error), 1 it failed, 2 usage error.\n";
}

}  // namespace tessel::cli
