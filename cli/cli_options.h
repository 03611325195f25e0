// The command line of tessel-cli.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/update_observer.h"

namespace tessel::cli {

struct CliOptions {
    UpdateProcedure procedure = UpdateProcedure::Firmware;
    // UTF-8, as the dialog's fields hold them.
    std::string address;
    std::string login;
    // Empty when not given on the command line: --password-file, TESSEL_PASSWORD or a prompt gives it.
    std::string password;
    bool passwordGiven = false;
    std::string ftpPort = "21";
    std::uint16_t consolePort = 8002;
    // Empty: the program's own directory.
    std::string packageDirectory;
    // The folder of trusted public keys; empty: TESSEL_TRUSTED_KEYS, else the default folders.
    std::string trustedKeys;
    // When keys are trusted: the package's files as checked against its signature, which the update reads in
    // place of packageDirectory, and the trusted key that signed them (name and fingerprint).
    std::string checkedPackageDirectory;
    std::string packageSigner;
    std::string packageSignerKey;
    bool verbose = false;
    // Firmware only: the version query again after the update, compared with the package's version.
    bool verifyVersion = false;
    // Firmware only: the version query first; a device that runs the package's version is left alone.
    bool skipCurrent = false;
    // The run's record as a JSON object on standard output (status lines go to standard error then).
    bool json = false;
    // Read the password from the first line of this file.
    std::string passwordFile;
    // Many devices: the rows of this CSV file, or the devices of this report that did not succeed.
    std::string inventory;
    std::string retryFailed;
    int parallel = 8;
    // The first devices, run alone first; the rest start only when all of them succeeded.
    int canary = 0;
    // No further device starts once this many have failed; 0 never stops.
    int maxFailures = 0;
    // Where the fleet's JSON report goes.
    std::string report;
    // Only check the package for the procedure; connect to nothing.
    bool checkOnly = false;
    // The longest the whole update may take, restarts included.
    int timeoutSeconds = 1800;
    // The uploads of a device share one FTP session instead of logging in for every file
    // (SKIFFS_KEEP_SESSION=1 for the transfer library).
    bool keepFtpSession = false;
};

struct ParsedCommandLine {
    std::optional<CliOptions> options;
    bool help = false;
    // --version: print the versions and end.
    bool version = false;
    // Why the command line was refused.
    std::string error;
};

// The text as a whole decimal number from low to high, or nullopt.
std::optional<long> ParseNumber(const std::string& text, long low, long high);

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args);

std::string Usage();

}  // namespace tessel::cli
