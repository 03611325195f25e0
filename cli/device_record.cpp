#include "cli/device_record.h"

#include <ctime>
#include <nlohmann/json.hpp>

#include "cli/visible_text.h"
#include "dialog/cp932.h"

namespace tessel::cli {

std::string IsoTime(std::chrono::system_clock::time_point at) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(at);
    std::tm utc{};
    ::gmtime_r(&seconds, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
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
