// What a check of an update package found: each finding names the file and, where it comes from there, the
// line of the management file.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tessel::pack {

enum class Severity {
    // The package works, but probably not as its maker meant.
    Warning,
    // The update would fail or install something else than the package holds.
    Error,
};

struct Finding {
    Severity severity = Severity::Error;
    // The file at fault, relative to the package folder, in UTF-8.
    std::string file;
    // The line of the management file (1 for the first), 0 when none.
    std::size_t line = 0;
    // UTF-8.
    std::string message;
};

// Gathers findings in the order they are made.
class Findings {
public:
    void error(std::string file, std::size_t line, std::string message);
    void warning(std::string file, std::size_t line, std::string message);

    const std::vector<Finding>& all() const { return all_; }

private:
    std::vector<Finding> all_;
};

// One line for a terminal: "UpDateMng.txt, line 5: error: ...", "w001.dat (UpDateMng.txt, line 5): error: ..."
// or "kbteva.bin: error: ...".
std::string FindingText(const Finding& finding);

// One line for each finding, then a count of errors and warnings.
std::string FindingsText(const std::vector<Finding>& findings);

std::size_t CountFindings(const std::vector<Finding>& findings, Severity severity);

const char* SeverityName(Severity severity);

}  // namespace tessel::pack
