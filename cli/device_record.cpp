#include "cli/device_record.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli/visible_text.h"
#include "dialog/cp932.h"

namespace tessel::cli {

// The calendar of <chrono>, which needs no thread-safe gmtime of the system's.
std::string IsoTime(std::chrono::system_clock::time_point at) {
    using namespace std::chrono;
    const auto second = floor<seconds>(at);
    const auto day = floor<days>(second);
    const year_month_day date{day};
    const hh_mm_ss time{second - day};
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()));
    return text;
}

std::string ProcedureName(UpdateProcedure procedure) {
    switch (procedure) {
    case UpdateProcedure::Firmware: return "firmware";
    case UpdateProcedure::Script: return "script";
    case UpdateProcedure::VersionQuery: return "version";
    case UpdateProcedure::AutoscriptRestore: return "restore-autoscript";
    }
    return "unknown";
}

nlohmann::json SignerJson(const std::string& signer, const std::string& signerKey) {
    if (signer.empty()) return nullptr;
    return {{"name", signer}, {"key", signerKey}};
}

std::string DeviceRecordJson(const DeviceRun& run) {
    nlohmann::json record = {
        {"name", run.name.empty() ? run.address : run.name},
        {"address", run.address},
        {"login", run.login},
        {"ftp_port", run.ftpPort},
        {"console_port", run.consolePort},
        {"procedure", ProcedureName(run.procedure)},
        {"result", run.result},
        {"duration_seconds", run.seconds},
        {"signer", SignerJson(run.signer, run.signerKey)},
    };
    std::string message = run.note;
    nlohmann::json versions = nlohmann::json::array();
    if (run.outcome) {
        if (message.empty() && run.outcome->finalMessage) message = run.outcome->finalMessage->text;
        for (const std::string& version : run.outcome->firmwareVersions)
            versions.push_back(Cp932ToUtf8(Trimmed(version)));
        record["firmware_passes"] = run.outcome->firmwarePasses;
        if (!run.outcome->detail.empty()) record["detail"] = run.outcome->detail;
    }
    record["final_message"] = message;
    record["versions"] = versions;
    if (run.procedure == UpdateProcedure::VersionQuery && !versions.empty()) record["version"] = versions.back();
    nlohmann::json statuses = nlohmann::json::array();
    for (const StatusChange& change : run.statuses)
        statuses.push_back({{"at", IsoTime(change.at)}, {"text", change.text}});
    record["status_lines"] = statuses;
    // Bytes a package or device sent that are not UTF-8 are replaced, never thrown over.
    return record.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace tessel::cli
