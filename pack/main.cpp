// tessel-pack: builds, signs, shows, checks and unpacks update packages.
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "cli/utf8_console.h"
#include "cli/visible_text.h"
#include "dialog/update_management_file.h"
#include "pack/pack_report.h"
#include "pack/package_build.h"
#include "pack/package_check.h"
#include "pack/package_signing.h"
#include "pack/package_summary.h"
#include "pack/signature_report.h"
#include "pack/unpack.h"
#include "platform/os/process.h"
#include "version/tessel_version.h"

using namespace tessel;
using namespace tessel::pack;

namespace {

constexpr int kUsageError = 2;

const char* const kUsage =
    "Usage: tessel-pack build MANIFEST OUTDIR [--sign NAME.key]\n"
    "       tessel-pack keygen NAME\n"
    "       tessel-pack sign DIR --key NAME.key\n"
    "       tessel-pack show DIR [--json] [--trusted-keys KEYDIR]\n"
    "       tessel-pack verify DIR [--json] [--trusted-keys KEYDIR]\n"
    "       tessel-pack unpack DIR OUTDIR\n"
    "       tessel-pack --help | --version\n"
    "\n"
    "  build    writes the update package that the TOML manifest describes into OUTDIR (new, or empty)\n"
    "           and checks it; sources are read relative to the manifest's folder; --sign signs it\n"
    "  keygen   writes a signing key pair: NAME.key (private, owner-only) and NAME.pub (ECDSA P-256, PEM)\n"
    "  sign     signs every file the updates read, and the management file, into DIR/UpDateMng.sig\n"
    "  show     caption, versions, move action, key, every file with its size and the SHA-256 of\n"
    "           the bytes the device receives, and the signed statement with its signer\n"
    "  verify   every fault an update would meet with the package, all at once, and its signature when\n"
    "           keys are trusted; exit status 1 when there is an error, 0 when there are warnings at most\n"
    "  unpack   the files the updates install, where the device keeps them (OUTDIR/C:/www/...)\n"
    "  --json   show and verify: the same as a JSON document\n"
    "  --trusted-keys KEYDIR  the folder of trusted public keys (NAME.pub); else TESSEL_TRUSTED_KEYS, else\n"
    "           ~/.config/tessel/trusted-keys, else /etc/tessel/trusted-keys\n"
    "\n"
    "Exit status: 0 done, 1 the package or manifest is at fault, 2 usage error.\n";

void Print(std::ostream& out, const std::string& text) { out << cli::VisibleText(text) << std::flush; }

void PrintErrors(const std::vector<std::string>& errors) {
    for (const std::string& error : errors) Print(std::cerr, "tessel-pack: " + error + "\n");
}

// The arguments: words in order, and the options with their values ("--json" has none).
struct Arguments {
    std::vector<std::string> words;
    std::map<std::string, std::string> options;
    std::string error;

    bool has(const std::string& name) const { return options.contains(name); }
    std::string value(const std::string& name) const { return has(name) ? options.at(name) : std::string(); }
};

Arguments ParseArguments(const std::vector<std::string>& args) {
    Arguments parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--json") {
            parsed.options[arg];
        } else if (arg == "--key" || arg == "--sign" || arg == "--trusted-keys") {
            if (i + 1 == args.size() || parsed.has(arg)) parsed.error = arg + " takes one value";
            else parsed.options[arg] = args[++i];
        } else if (arg.starts_with("--")) {
            parsed.error = "unknown option " + arg;
        } else {
            parsed.words.push_back(arg);
        }
    }
    return parsed;
}

int Sign(const std::string& package, const std::string& keyPath) {
    // Only a package that an update would take is worth a signature.
    const std::vector<Finding> findings = CheckPackage(package, PackageScope::Whole);
    if (HasErrors(findings)) {
        Print(std::cerr, FindingsText(findings) + "tessel-pack: the package fails its check; it is not signed\n");
        return 1;
    }
    const SignOutcome outcome = SignPackage(package, keyPath);
    PrintErrors(outcome.errors);
    if (!outcome.done) return 1;
    Print(std::cout, "signed " + std::to_string(outcome.statement.files.size()) + " files of " + package + " as " +
                         outcome.statement.signer + " (" + outcome.statement.keyFingerprint + ")\n");
    return 0;
}

int Keygen(const std::string& name) {
    const std::vector<std::string> errors = WriteKeyPair(name);
    PrintErrors(errors);
    if (!errors.empty()) return 1;
    Print(std::cout, "wrote " + name + ".key (keep it private) and " + name + ".pub (give it to the updaters)\n");
    return 0;
}

// The package's signature: checked when keys are trusted, else only what the signature file declares.
SignatureCheck PackageSignature(const std::string& package, const TrustedKeys& trusted) {
    if (!trusted.enforced()) return ReadDeclaredSignature(package);
    return CheckPackageSignature(package, trusted, PackageScope::Whole, nullptr, package);
}

int Build(const std::string& manifest, const std::string& outputFolder, const std::string& signingKey) {
    const PackOutcome outcome = BuildPackage(manifest, outputFolder);
    PrintErrors(outcome.errors);
    if (!outcome.findings.empty()) Print(outcome.done ? std::cout : std::cerr, FindingsText(outcome.findings));
    if (!outcome.done) {
        if (!outcome.findings.empty()) Print(std::cerr, "tessel-pack: the package fails its check; nothing is kept\n");
        return 1;
    }
    Print(std::cout, "built " + outputFolder + "\n");
    return signingKey.empty() ? 0 : Sign(outputFolder, signingKey);
}

int Show(const std::string& package, bool asJson, const TrustedKeys& trusted) {
    const SummaryResult result = SummarizePackage(package);
    if (!result.summary) {
        std::string where(kUpdateManagementFileName);
        if (result.fault.line > 0) where += ", line " + std::to_string(result.fault.line);
        Print(std::cerr, "tessel-pack: " + where + ": " + result.fault.reason +
                             "\n(tessel-pack verify tells every fault of the package)\n");
        return 1;
    }
    const SignatureCheck signature = PackageSignature(package, trusted);
    if (asJson) {
        Print(std::cout, WithSignatureJson(SummaryJson(*result.summary), signature, trusted));
    } else {
        Print(std::cout, SummaryText(*result.summary) + SignatureText(signature, trusted));
    }
    return 0;
}

int Verify(const std::string& package, bool asJson, const TrustedKeys& trusted) {
    const std::vector<Finding> findings = CheckPackage(package, PackageScope::Whole);
    const SignatureCheck signature = PackageSignature(package, trusted);
    const bool refused = trusted.enforced() && !signature.verified;
    if (asJson) {
        Print(std::cout, WithSignatureJson(FindingsJson(findings), signature, trusted));
    } else {
        Print(std::cout, FindingsText(findings) + SignatureVerdict(signature, trusted));
    }
    return HasErrors(findings) || refused ? 1 : 0;
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
    cli::UseUtf8Console();
    const std::vector<std::string> args = os::ProgramArguments(argc, argv);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << kUsage;
        return 0;
    }
    if (args.size() == 1 && args[0] == "--version") {
        std::cout << "tessel-pack " << kTesselVersion << "\n";
        return 0;
    }
    if (args.empty()) return UsageError("name a command: build, keygen, sign, show, verify or unpack");
    const Arguments parsed = ParseArguments(args);
    if (!parsed.error.empty()) return UsageError(parsed.error);
    const std::vector<std::string>& words = parsed.words;
    const std::string command = words.empty() ? std::string() : words[0];
    const auto allowed = [&](std::initializer_list<const char*> names) {
        std::size_t known = 0;
        for (const char* name : names) known += parsed.has(name) ? 1 : 0;
        return known == parsed.options.size();
    };
    if (command == "build" && words.size() == 3 && allowed({"--sign"})) {
        return Build(words[1], words[2], parsed.value("--sign"));
    }
    if (command == "keygen" && words.size() == 2 && allowed({})) return Keygen(words[1]);
    if (command == "sign" && words.size() == 2 && parsed.has("--key") && allowed({"--key"})) {
        return Sign(words[1], parsed.value("--key"));
    }
    if (command == "unpack" && words.size() == 3 && allowed({})) return Unpack(words[1], words[2]);
    if ((command == "show" || command == "verify") && words.size() == 2 && allowed({"--json", "--trusted-keys"})) {
        const TrustedKeys trusted = LoadTrustedKeys(FindTrustFolder(parsed.value("--trusted-keys")));
        const bool asJson = parsed.has("--json");
        return command == "show" ? Show(words[1], asJson, trusted) : Verify(words[1], asJson, trusted);
    }
    return UsageError("cannot read the command line");
}
