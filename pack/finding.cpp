#include "pack/finding.h"

#include <algorithm>

#include "dialog/update_management_file.h"

namespace tessel::pack {

void Findings::error(std::string file, std::size_t line, std::string message) {
    all_.push_back({Severity::Error, std::move(file), line, std::move(message)});
}

void Findings::warning(std::string file, std::size_t line, std::string message) {
    all_.push_back({Severity::Warning, std::move(file), line, std::move(message)});
}

const char* SeverityName(Severity severity) { return severity == Severity::Error ? "error" : "warning"; }

std::string FindingText(const Finding& finding) {
    std::string where = finding.file;
    if (finding.line > 0) {
        const std::string line = std::string(kUpdateManagementFileName) + ", line " + std::to_string(finding.line);
        where = finding.file == kUpdateManagementFileName ? line : finding.file + " (" + line + ")";
    }
    return where + ": " + SeverityName(finding.severity) + ": " + finding.message;
}

std::size_t CountFindings(const std::vector<Finding>& findings, Severity severity) {
    return static_cast<std::size_t>(std::count_if(findings.begin(), findings.end(),
                                                  [severity](const Finding& f) { return f.severity == severity; }));
}

std::string FindingsText(const std::vector<Finding>& findings) {
    std::string text;
    for (const Finding& finding : findings) text += FindingText(finding) + "\n";
    return text + std::to_string(CountFindings(findings, Severity::Error)) + " error(s), " +
           std::to_string(CountFindings(findings, Severity::Warning)) + " warning(s)\n";
}

}  // namespace tessel::pack
