// The devices of a fleet run: a CSV file with a header row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
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

// A port number from 1 to 65535 written in decimal, else nullopt.
std::optional<std::uint16_t> PortNumber(const std::string& text);

// What a device must be, wherever it was listed: an address, a name and an address that hold no control
// character (they end up in the live table, the log lines and the summary), an FTP port. Each fault goes to
// refuse.
void CheckFleetDevice(const FleetDevice& device, const std::function<void(const std::string&)>& refuse);

// The devices of a fleet, each allowed once: an address as written (the transfer library allows one transfer
// per host) and an address in any spelling with its console port (one device).
class RepeatedAddresses {
public:
    // The fault of a device already added (where names the place of each, "line 5"); nullopt for a new one.
    std::optional<std::string> add(const std::string& address, std::uint16_t consolePort, const std::string& where);

private:
    std::map<std::string, std::string> texts_;
    std::map<std::pair<std::string, std::uint16_t>, std::string> devices_;
};

// Columns: address (required), name, login, password, ftp_port, console_port, in any order. Every bad row
// (no address, a bad port, an address listed twice, no login or password to take, a control character in
// its name or address) is listed in faults with its line, as is a quote that is never closed, and then no
// device is returned at all.
std::vector<FleetDevice> ParseInventory(const std::string& csv, const FleetDefaults& defaults,
                                        std::vector<std::string>& faults);

// The file read with a bound (1 MiB), then parsed.
std::vector<FleetDevice> ReadInventory(const std::string& path, const FleetDefaults& defaults,
                                       std::vector<std::string>& faults);

}  // namespace tessel::cli
