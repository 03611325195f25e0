#include "cli/cli_options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <utility>

namespace tessel::cli {
namespace {

ParsedCommandLine Refuse(std::string why) {
    ParsedCommandLine result;
    result.error = std::move(why);
    return result;
}

// A whole decimal number: CLI11's own integers would also take 0x1F, and 010 as octal.
template <typename Number>
CLI::Option* AddNumber(CLI::App& app, const std::string& name, Number& target, long low, long high,
                       const std::string& what) {
    return app.add_option_function<std::string>(name, [&target, name, low, high, what](const std::string& text) {
        const auto value = ParseNumber(text, low, high);
        if (!value) {
            throw CLI::ValidationError(name + " takes " + what + " from " + std::to_string(low) + " to " +
                                       std::to_string(high));
        }
        target = static_cast<Number>(*value);
    });
}

// The words in the reverse order CLI11's parse takes them. CLI11 would make "--name=" (nothing after the sign)
// take the next word as the value; here it is an empty value, as --password "" is, so that --password="$PW"
// with an empty PW does not swallow the next option. A word that is an option's value stays as it is.
std::vector<std::string> WordsForParse(const CLI::App& app, const std::vector<std::string>& args) {
    std::vector<std::string> words;
    bool value = false;
    for (const std::string& arg : args) {
        if (std::exchange(value, false)) {
            words.push_back(arg);
            continue;
        }
        const std::size_t sign = arg.find('=');
        const CLI::Option* option = arg.rfind("--", 0) == 0 ? app.get_option_no_throw(arg.substr(0, sign)) : nullptr;
        const bool takesValue = option != nullptr && option->get_items_expected_max() > 0;
        if (takesValue && sign == arg.size() - 1) {
            words.push_back(arg.substr(0, sign));
            words.emplace_back();
        } else {
            value = takesValue && sign == std::string::npos;
            words.push_back(arg);
        }
    }
    std::reverse(words.begin(), words.end());
    return words;
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
    int ftpPort = 21;
    std::vector<std::string> procedures;
    CLI::App app;
    // Usage() is the help text; unknown words are refused below with our own message.
    app.set_help_flag();
    app.allow_extras();
    // As with most programs, the last of an option given twice counts.
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    const CLI::Option* help = app.add_flag("-h,--help");
    const CLI::Option* version = app.add_flag("--version");
    app.add_flag("--verbose", options.verbose);
    app.add_flag("--verify-version", options.verifyVersion);
    app.add_flag("--skip-current", options.skipCurrent);
    app.add_flag("--json", options.json);
    app.add_flag("--check", options.checkOnly);
    app.add_flag("--keep-ftp-session", options.keepFtpSession);
    const CLI::Option* address = app.add_option("--address", options.address);
    const CLI::Option* login = app.add_option("--login", options.login);
    const CLI::Option* password = app.add_option("--password", options.password);
    AddNumber(app, "--ftp-port", ftpPort, 1, 65535, "a port number");
    AddNumber(app, "--console-port", options.consolePort, 1, 65535, "a port number");
    app.add_option_function<std::string>("--package", [&options](const std::string& directory) {
        if (directory.empty()) throw CLI::ValidationError("--package needs a directory");
        options.packageDirectory = directory;
    });
    AddNumber(app, "--timeout", options.timeoutSeconds, 1, 86400, "a number of seconds");
    app.add_option_function<std::string>("--trusted-keys", [&options](const std::string& directory) {
        if (directory.empty()) throw CLI::ValidationError("--trusted-keys needs a directory");
        options.trustedKeys = directory;
    });
    app.add_option("--password-file", options.passwordFile);
    app.add_option("--inventory", options.inventory);
    app.add_option("--retry-failed", options.retryFailed);
    const CLI::Option* fleetOnly[] = {
        AddNumber(app, "--parallel", options.parallel, 1, 1000, "a number"),
        AddNumber(app, "--canary", options.canary, 0, 1000, "a number"),
        AddNumber(app, "--max-failures", options.maxFailures, 0, 1000, "a number"),
        app.add_option("--report", options.report),
    };
    app.add_option("procedure", procedures);

    std::string failure;
    try {
        app.parse(WordsForParse(app, args));
    } catch (const CLI::ArgumentMismatch&) {
        // Only an option at the very end with no word left for its value.
        failure = args.back() + " needs a value";
    } catch (const CLI::ParseError& error) {
        failure = error.what();
    }
    // Help and version win over anything else on the line, a refused word too.
    if (help->count() > 0) {
        ParsedCommandLine result;
        result.help = true;
        return result;
    }
    if (version->count() > 0) {
        ParsedCommandLine result;
        result.version = true;
        return result;
    }
    if (!failure.empty()) return Refuse(failure);
    if (const auto unknown = app.remaining(); !unknown.empty()) return Refuse("unknown option " + unknown.front());
    if (procedures.size() > 1) return Refuse("one procedure only, not also \"" + procedures[1] + "\"");

    constexpr const char* kProcedures = "firmware, script, version or restore-autoscript";
    if (procedures.empty()) return Refuse(std::string("name the procedure: ") + kProcedures);
    const std::string& procedure = procedures.front();
    if (procedure == "firmware") {
        options.procedure = UpdateProcedure::Firmware;
    } else if (procedure == "script") {
        options.procedure = UpdateProcedure::Script;
    } else if (procedure == "version") {
        options.procedure = UpdateProcedure::VersionQuery;
    } else if (procedure == "restore-autoscript") {
        options.procedure = UpdateProcedure::AutoscriptRestore;
    } else {
        return Refuse("unknown procedure \"" + procedure + "\": " + kProcedures);
    }
    if ((options.verifyVersion || options.skipCurrent) && options.procedure != UpdateProcedure::Firmware) {
        return Refuse("--verify-version and --skip-current go with firmware");
    }
    if (options.checkOnly && options.procedure != UpdateProcedure::Firmware &&
        options.procedure != UpdateProcedure::Script) {
        return Refuse("--check goes with firmware or script");
    }
    const bool fleet = !options.inventory.empty() || !options.retryFailed.empty();
    if (fleet && address->count() > 0) return Refuse("--address or --inventory, not both");
    if (!options.inventory.empty() && !options.retryFailed.empty())
        return Refuse("--inventory or --retry-failed, not both");
    if (!fleet && !options.checkOnly && address->count() == 0) return Refuse("--address (or --inventory) is required");
    if (!fleet && std::any_of(std::begin(fleetOnly), std::end(fleetOnly),
                              [](const CLI::Option* option) { return option->count() > 0; })) {
        return Refuse("--parallel, --canary, --max-failures and --report go with --inventory");
    }
    if (fleet && options.json) return Refuse("--json is for one device; --report writes the fleet's");
    if (!fleet && !options.checkOnly && login->count() == 0) return Refuse("--login is required");
    options.passwordGiven = password->count() > 0;
    options.ftpPort = std::to_string(ftpPort);
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
           "first: one that fails is refused before anything connects. When public keys are trusted, the\n"
           "package must be signed by one of them (tessel-pack sign), and the update sends the signed files\n"
           "as they were checked.\n"
           "\n"
           "  --address ADDR       device address or host name\n"
           "  --login ID           console login ID, also the FTP user\n"
           "  --password PW        console and FTP password; other users see it in the process list:\n"
           "                       prefer --password-file or TESSEL_PASSWORD\n"
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
           "  --password-file F    the password is the first line of F (else TESSEL_PASSWORD, else a prompt;\n"
           "                       one device: else the first line of the standard input when it is no\n"
           "                       terminal). Text is UTF-8; the device receives it in code page 932\n"
           "  --check              only check the package for the procedure and tell every finding, and\n"
           "                       whether its signature was verified\n"
           "  --trusted-keys DIR   the folder of trusted public keys (NAME.pub; default TESSEL_TRUSTED_KEYS,\n"
           "                       else ~/.config/tessel/trusted-keys, else /etc/tessel/trusted-keys); when\n"
           "                       it holds a key, an unsigned package or one signed by another key is refused\n"
           "  --keep-ftp-session   the uploads to a device share one FTP session: one login instead of one\n"
           "                       per file, fewer round trips over a slow link (each device of a fleet\n"
           "                       keeps its own)\n"
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
           "the package has no error and, with trusted keys, a good signature), 1 it failed, 2 usage error.\n";
}

}  // namespace tessel::cli
