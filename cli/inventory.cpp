#include "cli/inventory.h"

#include <algorithm>
#include <map>
#include <set>

#include "cli/cli_options.h"
#include "cli/device_address.h"
#include "cli/visible_text.h"
#include "dialog/local_file.h"

namespace tessel::cli {
namespace {

constexpr std::size_t kMaxInventoryBytes = 1024 * 1024;

// The cells of one record; quoted cells may hold commas, line breaks and doubled quotes. Advances pos past
// the record and counts the lines it spans; unclosed tells whether the file ended inside a quote.
std::vector<std::string> ReadRecord(const std::string& csv, std::size_t& pos, std::size_t& lines, bool& unclosed) {
    std::vector<std::string> cells(1);
    bool quoted = false;
    while (pos < csv.size()) {
        const char c = csv[pos++];
        if (quoted) {
            if (c == '"' && pos < csv.size() && csv[pos] == '"') {
                cells.back() += '"';
                ++pos;
            } else if (c == '"') {
                quoted = false;
            } else {
                if (c == '\n') ++lines;
                cells.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            cells.emplace_back();
        } else if (c == '\n') {
            ++lines;
            break;
        } else if (c != '\r') {
            cells.back() += c;
        }
    }
    unclosed = quoted;
    for (std::string& cell : cells) cell = Trimmed(cell, " \t");
    return cells;
}

// A name or address that would break the terminal's lines or turn its text around.
bool HasControlCharacter(std::string_view utf8) {
    return utf8.find('\n') != std::string_view::npos || VisibleText(utf8) != utf8;
}

}  // namespace

std::optional<std::uint16_t> PortNumber(const std::string& text) {
    const std::optional<long> value = ParseNumber(text, 1, 65535);
    if (!value) return std::nullopt;
    return static_cast<std::uint16_t>(*value);
}

void CheckFleetDevice(const FleetDevice& device, const std::function<void(const std::string&)>& refuse) {
    if (device.address.empty()) refuse("no address");
    if (HasControlCharacter(device.address)) refuse("the address holds a control character");
    if (HasControlCharacter(device.name)) refuse("the name holds a control character");
    if (!PortNumber(device.ftpPort)) refuse("ftp_port \"" + device.ftpPort + "\" is no port number from 1 to 65535");
}

std::optional<std::string> RepeatedAddresses::add(const std::string& address, std::uint16_t consolePort,
                                                  const std::string& where) {
    if (address.empty()) return std::nullopt;
    // The transfer library allows one transfer per host as written; one device is one address and console
    // port however the address is spelled. Names are not looked up here: the lock of each run resolves them.
    const auto [sameText, newText] = texts_.emplace(address, where);
    const auto [sameDevice, newDevice] =
        devices_.emplace(std::pair{CanonicalAddress(address, /*resolve=*/false), consolePort}, where);
    if (newText && newDevice) return std::nullopt;
    const std::string& earlier = newText ? sameDevice->second : sameText->second;
    return "address " + address + " is listed twice (also on " + earlier + ")";
}

std::vector<FleetDevice> ParseInventory(const std::string& csv, const FleetDefaults& defaults,
                                        std::vector<std::string>& faults) {
    static const std::set<std::string> kColumns = {"address", "name", "login", "password", "ftp_port", "console_port"};
    std::size_t pos = 0;
    std::size_t lines = 0;
    bool unclosed = false;
    const std::vector<std::string> header = ReadRecord(csv, pos, lines, unclosed);
    std::map<std::string, std::size_t> column;
    for (std::size_t i = 0; i < header.size(); ++i) {
        std::string name = header[i];
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        if (!kColumns.count(name)) {
            faults.push_back("line 1: unknown column \"" + header[i] + "\"");
        } else {
            column[name] = i;
        }
    }
    if (!column.count("address")) faults.push_back("line 1: no address column");
    std::vector<FleetDevice> devices;
    RepeatedAddresses seen;
    while (pos < csv.size()) {
        const std::size_t line = lines + 1;
        bool unclosed = false;
        const std::vector<std::string> cells = ReadRecord(csv, pos, lines, unclosed);
        // Every row after it would silently become part of one cell.
        if (unclosed) {
            faults.push_back("line " + std::to_string(line) + ": a quote opened in this row is never closed");
            break;
        }
        if (cells.size() == 1 && cells[0].empty()) continue;
        const auto cell = [&](const char* name) {
            const auto found = column.find(name);
            return found != column.end() && found->second < cells.size() ? cells[found->second] : std::string();
        };
        const std::string where = "line " + std::to_string(line) + ": ";
        FleetDevice device;
        device.line = line;
        device.address = cell("address");
        device.name = cell("name").empty() ? device.address : cell("name");
        device.login = cell("login").empty() ? defaults.login : cell("login");
        const std::string password = cell("password");
        device.ftpPort = cell("ftp_port").empty() ? defaults.ftpPort : cell("ftp_port");
        const std::string consolePort = cell("console_port");
        bool good = true;
        const auto refuse = [&](const std::string& why) {
            faults.push_back(where + why);
            good = false;
        };
        CheckFleetDevice(device, refuse);
        if (consolePort.empty()) {
            device.consolePort = defaults.consolePort;
        } else if (const auto port = PortNumber(consolePort)) {
            device.consolePort = *port;
        } else {
            refuse("console_port \"" + consolePort + "\" is no port number from 1 to 65535");
        }
        if (device.login.empty()) refuse("no login, and none on the command line");
        if (!password.empty()) {
            device.password = password;
        } else if (defaults.password) {
            device.password = *defaults.password;
        } else {
            refuse("no password, and none given to the command line");
        }
        if (const auto repeated = seen.add(device.address, device.consolePort, "line " + std::to_string(line))) {
            refuse(*repeated);
        }
        if (good) devices.push_back(std::move(device));
    }
    if (devices.empty() && faults.empty()) faults.push_back("no devices listed");
    if (!faults.empty()) devices.clear();
    return devices;
}

std::vector<FleetDevice> ReadInventory(const std::string& path, const FleetDefaults& defaults,
                                       std::vector<std::string>& faults) {
    const std::optional<std::string> csv = ReadFileBytes(path, kMaxInventoryBytes);
    if (!csv) {
        faults.push_back(path + " cannot be read (missing, not a regular file, or larger than 1 MiB)");
        return {};
    }
    return ParseInventory(*csv, defaults, faults);
}

}  // namespace tessel::cli
