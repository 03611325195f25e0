// What one device's run came to, as the JSON record of --json and of the fleet's report.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/terminal_dialog_host.h"
#include "platform/update_observer.h"

namespace tessel::cli {

struct DeviceRun {
    DeviceRun(std::string name, std::string address, std::string login, std::string ftpPort, std::uint16_t consolePort,
              UpdateProcedure procedure)
        : name(std::move(name)),
          address(std::move(address)),
          login(std::move(login)),
          ftpPort(std::move(ftpPort)),
          consolePort(consolePort),
          procedure(procedure) {}

    std::string name;
    std::string address;
    std::string login;
    std::string ftpPort;
    std::uint16_t consolePort = 8002;
    UpdateProcedure procedure = UpdateProcedure::Firmware;
    // The last outcome the core reported; none when the run ended before one (a lock, the deadline).
    std::optional<UpdateOutcome> outcome;
    std::vector<StatusChange> statuses;
    // What the run ends with: "succeeded", "failed", "skipped" or "interrupted".
    std::string result;
    // A message of the command line's own that explains the result, when the core's does not.
    std::string note;
    double seconds = 0;
    // The trusted key that signed the package (name and fingerprint); empty when no key is trusted.
    std::string signer;
    std::string signerKey;
};

// {"name", "key"} of the key that signed the package, or null when nothing was verified.
nlohmann::json SignerJson(const std::string& signer, const std::string& signerKey);

// The record as one line of JSON. The password is never part of it.
std::string DeviceRecordJson(const DeviceRun& run);

// UTC, ISO 8601.
std::string IsoTime(std::chrono::system_clock::time_point at);

std::string ProcedureName(UpdateProcedure procedure);

}  // namespace tessel::cli
