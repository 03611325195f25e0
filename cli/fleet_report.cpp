#include "cli/fleet_report.h"

#include <map>
#include <nlohmann/json.hpp>

#include "cli/device_record.h"
#include "cli/visible_text.h"
#include "dialog/cp932.h"
#include "dialog/local_file.h"
#include "dialog/update_management_file.h"
#include "platform/os/files.h"

namespace tessel::cli {
namespace {

constexpr std::size_t kMaxReportBytes = 64 * 1024 * 1024;

nlohmann::json Parsed(const std::string& record) {
    nlohmann::json parsed = nlohmann::json::parse(record, nullptr, false);
    return parsed.is_object() ? parsed : nlohmann::json::object();
}

std::string Text(const nlohmann::json& object, const char* key) {
    const auto found = object.find(key);
    return found != object.end() && found->is_string() ? found->get<std::string>() : std::string();
}

}  // namespace

std::string RunnerRecord(const FleetDevice& device, UpdateProcedure procedure, const std::string& result,
                         const std::string& message) {
    DeviceRun run{device.name, device.address, device.login, device.ftpPort, device.consolePort, procedure};
    run.result = result;
    run.note = message;
    return DeviceRecordJson(run);
}

std::string NamedRecord(const std::string& record, const std::string& name) {
    nlohmann::json parsed = Parsed(record);
    parsed["name"] = name;
    return parsed.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string RecordResult(const std::string& record) {
    const std::string result = Text(Parsed(record), "result");
    return result.empty() ? "failed" : result;
}

bool WriteFleetReport(const std::string& path, const FleetSummary& summary) {
    UpdateHeader header;
    ReadUpdateHeader(summary.packageDirectory, header);
    std::map<std::string, int> counts = {{"succeeded", 0}, {"failed", 0}, {"skipped", 0}, {"interrupted", 0}};
    // The devices are written one at a time, each as it would stand in the whole report's text: a report of
    // a hundred thousand devices never stands in memory as one document.
    std::string devices;
    for (const FleetResult& result : summary.results) {
        const nlohmann::json record = Parsed(result.record);
        ++counts[Text(record, "result").empty() ? "failed" : Text(record, "result")];
        devices += devices.empty() ? "[\n    " : ",\n    ";
        for (const char c : record.dump(2, ' ', false, nlohmann::json::error_handler_t::replace)) {
            devices += c;
            if (c == '\n') devices += "    ";
        }
    }
    devices += devices.empty() ? "[]" : "\n  ]";
    const nlohmann::json report = {
        {"tool", "tessel-cli"},
        {"version", TESSEL_VERSION},
        {"package",
         {{"folder", summary.packageDirectory},
          {"caption", Cp932ToUtf8(header.caption)},
          {"firmware_version", Cp932ToUtf8(header.firmwareVersion)},
          {"script_version", Cp932ToUtf8(header.scriptVersion)},
          {"signer", SignerJson(summary.signer, summary.signerKey)}}},
        {"procedure", ProcedureName(summary.procedure)},
        {"started", IsoTime(summary.started)},
        {"ended", IsoTime(summary.ended)},
        {"counts", counts},
        {"devices", nullptr},
    };
    std::string text = report.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
    const std::string placeholder = "\"devices\": null";
    text.replace(text.find(placeholder), placeholder.size(), "\"devices\": " + devices);
    const std::string staging = path + ".new";
    os::RemoveFile(staging);
    if (!WriteNewFile(staging, text)) return false;
    return os::ReplaceFileAtomically(staging, path);
}

std::vector<FleetDevice> FailedDevicesOf(const std::string& reportPath, const std::string& password,
                                         std::vector<std::string>& faults) {
    const std::optional<std::string> text = ReadFileBytes(reportPath, kMaxReportBytes);
    const nlohmann::json report = text ? nlohmann::json::parse(*text, nullptr, false) : nlohmann::json();
    if (!report.is_object() || !report.contains("devices") || !report["devices"].is_array()) {
        faults.push_back(reportPath + " is no report of tessel-cli");
        return {};
    }
    std::vector<FleetDevice> devices;
    RepeatedAddresses seen;
    std::size_t index = 0;
    for (const nlohmann::json& record : report["devices"]) {
        ++index;
        if (!record.is_object() || Text(record, "result") == "succeeded") continue;
        FleetDevice device;
        device.name = Text(record, "name");
        device.address = Text(record, "address");
        device.login = Text(record, "login");
        device.ftpPort = Text(record, "ftp_port");
        device.password = password;
        const std::string where = "device " + std::to_string(index);
        const auto refuse = [&](const std::string& why) { faults.push_back(reportPath + ", " + where + ": " + why); };
        // A report is a file anyone may have edited: its devices are held to what the inventory's are.
        const auto port = record.find("console_port");
        if (port != record.end() && !port->is_number_unsigned()) refuse("console_port is no port number");
        if (port != record.end() && port->is_number_unsigned()) {
            const auto number = port->get<std::uint64_t>();
            if (number < 1 || number > 65535) refuse("console_port " + std::to_string(number) + " is no port number from 1 to 65535");
            else device.consolePort = static_cast<std::uint16_t>(number);
        }
        if (device.login.empty()) refuse("no login");
        CheckFleetDevice(device, refuse);
        if (const auto repeated = seen.add(device.address, device.consolePort, where)) refuse(*repeated);
        devices.push_back(std::move(device));
    }
    if (!faults.empty()) devices.clear();
    return devices;
}

void PrintSummaryTable(std::ostream& out, const FleetSummary& summary) {
    // One very long name must not pad every row of a large fleet: longer cells are cut.
    constexpr std::size_t kWidestCell = 40;
    std::size_t nameWidth = 4;
    std::size_t addressWidth = 7;
    for (const FleetResult& result : summary.results) {
        nameWidth = std::min(kWidestCell, std::max(nameWidth, result.device.name.size()));
        addressWidth = std::min(kWidestCell, std::max(addressWidth, result.device.address.size()));
    }
    const auto pad = [](std::string text, std::size_t width) {
        if (text.size() > width) text = Utf8Prefix(text, width - 3) + "...";
        text.resize(std::max(text.size(), width), ' ');
        return text;
    };
    out << pad("name", nameWidth) << "  " << pad("address", addressWidth) << "  " << pad("result", 11) << "  message\n";
    for (const FleetResult& result : summary.results) {
        const nlohmann::json record = Parsed(result.record);
        std::string message = Text(record, "final_message");
        for (char& c : message) c = c == '\n' ? ' ' : c;
        out << VisibleText(pad(result.device.name, nameWidth)) << "  "
            << VisibleText(pad(result.device.address, addressWidth)) << "  " << pad(RecordResult(result.record), 11)
            << "  " << VisibleText(message) << "\n";
    }
    out.flush();
}

}  // namespace tessel::cli
