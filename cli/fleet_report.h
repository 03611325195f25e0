// The fleet's report: a JSON document of the whole run with every device's record, and the table at its end.
#pragma once

#include <chrono>
#include <ostream>
#include <string>
#include <vector>

#include "cli/inventory.h"
#include "platform/update_observer.h"

namespace tessel::cli {

struct FleetResult {
    FleetDevice device;
    // The device's record (JSON) as its run wrote it, or as the runner made it for a device that did not run.
    std::string record;
};

struct FleetSummary {
    UpdateProcedure procedure = UpdateProcedure::Firmware;
    std::string packageDirectory;
    // The trusted key that signed the package (name and fingerprint); empty when no key is trusted.
    std::string signer;
    std::string signerKey;
    std::chrono::system_clock::time_point started;
    std::chrono::system_clock::time_point ended;
    std::vector<FleetResult> results;
};

// A record for a device that did not run (skipped, interrupted before it started) or whose run left none.
std::string RunnerRecord(const FleetDevice& device, UpdateProcedure procedure, const std::string& result,
                         const std::string& message);
// The record with the inventory's name of the device in it.
std::string NamedRecord(const std::string& record, const std::string& name);
// The "result" of a record; "failed" when it has none.
std::string RecordResult(const std::string& record);

// Writes the report atomically; false when it cannot.
bool WriteFleetReport(const std::string& path, const FleetSummary& summary);
// The devices of a report that did not succeed, with the command line's password; faults when it is no report.
std::vector<FleetDevice> FailedDevicesOf(const std::string& reportPath, const std::string& password,
                                         std::vector<std::string>& faults);
// One row per device: name, address, result, final message.
void PrintSummaryTable(std::ostream& out, const FleetSummary& summary);

}  // namespace tessel::cli
