#include "pack/pack_report.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "dialog/cp932.h"

namespace tessel::pack {
namespace {

using json = nlohmann::ordered_json;

std::string Hex2(std::uint8_t value) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X", value);
    return text;
}

std::string SizeText(const std::optional<std::uintmax_t>& size) {
    return size ? std::to_string(*size) + " bytes" : "cannot be read";
}

json Size(const std::optional<std::uintmax_t>& size) { return size ? json(*size) : json(nullptr); }

json FileJson(const SummaryFile& file) {
    json entry = {{"plain_name", Cp932ToUtf8(file.plainName)},
                  {"device_path", Cp932ToUtf8(file.devicePath)},
                  {"size", Size(file.size)},
                  {"sha256", file.sha256.empty() ? json(nullptr) : json(file.sha256)}};
    if (!file.scrambledName.empty()) entry["scrambled_name"] = Cp932ToUtf8(file.scrambledName);
    return entry;
}

std::string FileLine(const SummaryFile& file) {
    std::string line = "  ";
    if (!file.scrambledName.empty()) line += Cp932ToUtf8(file.scrambledName) + " -> ";
    line += Cp932ToUtf8(file.plainName) + " -> " + Cp932ToUtf8(file.devicePath) + "\n    " + SizeText(file.size);
    if (!file.sha256.empty()) line += ", sha256 " + file.sha256;
    return line + "\n";
}

}  // namespace

std::string SummaryText(const PackageSummary& summary) {
    const UpdateHeader& header = summary.header;
    std::string text = "caption:          " + Cp932ToUtf8(header.caption) + "\n" +
                       "firmware version: " + Cp932ToUtf8(header.firmwareVersion) + "\n" +
                       "script version:   " + Cp932ToUtf8(header.scriptVersion) + "\n" +
                       "move:             " + (header.moveFlag != 0 ? "yes" : "no") + "\n" +
                       "key:              " + Hex2(summary.key) + "\n" +
                       "listed files (scrambled -> plain -> device): " + std::to_string(summary.listed.size()) + "\n";
    for (const SummaryFile& file : summary.listed) text += FileLine(file);
    text += "plain files:\n";
    for (const SummaryFile& file : summary.plain) text += FileLine(file);
    text += "firmware files:\n";
    for (const SummaryFirmwareFile& file : summary.firmware) {
        text += "  " + file.name + ": " + (file.size ? std::to_string(*file.size) + " bytes" : "missing");
        if (!file.declaredVersion.empty()) text += ", declares version " + Cp932ToUtf8(file.declaredVersion);
        text += "\n";
    }
    return text;
}

std::string SummaryJson(const PackageSummary& summary) {
    json listed = json::array();
    for (const SummaryFile& file : summary.listed) listed.push_back(FileJson(file));
    json plain = json::array();
    for (const SummaryFile& file : summary.plain) plain.push_back(FileJson(file));
    json firmware = json::array();
    for (const SummaryFirmwareFile& file : summary.firmware) {
        firmware.push_back({{"name", file.name},
                            {"size", Size(file.size)},
                            {"declared_version",
                             file.declaredVersion.empty() ? json(nullptr) : json(Cp932ToUtf8(file.declaredVersion))}});
    }
    const json document = {{"caption", Cp932ToUtf8(summary.header.caption)},
                           {"firmware_version", Cp932ToUtf8(summary.header.firmwareVersion)},
                           {"script_version", Cp932ToUtf8(summary.header.scriptVersion)},
                           {"move", summary.header.moveFlag != 0},
                           {"key", summary.key},
                           {"files", listed},
                           {"plain_files", plain},
                           {"firmware_files", firmware}};
    return document.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

std::string FindingsJson(const std::vector<Finding>& findings) {
    json list = json::array();
    for (const Finding& finding : findings) {
        list.push_back({{"severity", SeverityName(finding.severity)},
                        {"file", finding.file},
                        {"line", finding.line > 0 ? json(finding.line) : json(nullptr)},
                        {"message", finding.message}});
    }
    const std::size_t errors = CountFindings(findings, Severity::Error);
    const json document = {{"ok", errors == 0},
                           {"errors", errors},
                           {"warnings", CountFindings(findings, Severity::Warning)},
                           {"findings", list}};
    return document.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace tessel::pack
