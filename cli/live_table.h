// The fleet's live table on a terminal: one row per running device and a footer of counts.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tessel::cli {

struct LiveRow {
    std::string name;
    std::string address;
    std::string status;  // the device's latest status line or message
    // Blocks of the file that uploads now; total 0 when none does.
    int uploadedBlocks = 0;
    int totalBlocks = 0;
};

struct FleetCounts {
    std::size_t succeeded = 0;
    std::size_t failed = 0;
    std::size_t running = 0;
    std::size_t waiting = 0;
};

// The table's lines, each ending with a newline; the texts are shown with control characters made visible.
std::string LiveTable(const std::vector<LiveRow>& rows, const FleetCounts& counts);

}  // namespace tessel::cli
