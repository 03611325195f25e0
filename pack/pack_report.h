// What tessel-pack prints: text for a terminal (UTF-8, still to be made visible) and JSON.
#pragma once

#include <string>
#include <vector>

#include "pack/finding.h"
#include "pack/package_summary.h"

namespace tessel::pack {

std::string SummaryText(const PackageSummary& summary);
std::string SummaryJson(const PackageSummary& summary);

// {"ok": ..., "errors": N, "warnings": N, "findings": [{"severity", "file", "line", "message"}, ...]}; line is
// null when the finding has none.
std::string FindingsJson(const std::vector<Finding>& findings);

}  // namespace tessel::pack
