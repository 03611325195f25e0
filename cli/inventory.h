// The devices of a fleet run: a CSV file with a header row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessel::cli {

struct FleetDevice {
    std::size_t line = 0;  // of the inventory; 0 for a device taken from a report
    std::string name;      // the address when the row names none
    std::string address;
    std::string login;
    std::string password;
    std::string ftpPort = "21";
    std::uint16_t consolePort = 8002;
};

// What an empty or missing cell takes: the command line's values.
struct FleetDefaults {
    std::string login;
    std::optional<std::string> password;
    std::string ftpPort = "21";
    std::uint16_t consolePort = 8002;
};

// Columns: address (required), name, login, password, ftp_port, console_port, in any order. Every bad row
// (no address, a bad port, an address listed twice, no login or password to take) is listed in faults with
// its line, and then no device is returned at all.
std::vector<FleetDevice> ParseInventory(const std::string& csv, const FleetDefaults& defaults,
                                        std::vector<std::string>& faults);

// The file read with a bound (1 MiB), then parsed.
std::vector<FleetDevice> ReadInventory(const std::string& path, const FleetDefaults& defaults,
                                       std::vector<std::string>& faults);

}  // namespace tessel::cli
