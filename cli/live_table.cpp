#include "cli/live_table.h"

#include "cli/progress_bar.h"
#include "cli/visible_text.h"

namespace tessel::cli {
namespace {

constexpr int kBarWidth = 10;

}  // namespace

std::string LiveTable(const std::vector<LiveRow>& rows, const FleetCounts& counts) {
    std::string table;
    for (const LiveRow& row : rows) {
        const std::string status = VisibleText(row.status);
        table += VisibleText(row.name) + "  " + VisibleText(row.address) + "  ";
        table += row.totalBlocks > 0 ? ProgressLine(status, row.uploadedBlocks, row.totalBlocks, kBarWidth) : status;
        table += "\n";
    }
    table += "succeeded " + std::to_string(counts.succeeded) + "  failed " + std::to_string(counts.failed) +
             "  running " + std::to_string(counts.running) + "  waiting " + std::to_string(counts.waiting) + "\n";
    return table;
}

}  // namespace tessel::cli
