#pragma once

#include "devsim/device_file_system.h"
#include "devsim/firmware_version.h"

#include <map>
#include <string>

namespace tessel::devsim {

// How the simulated device behaves, from the command line.
struct DeviceSettings {
    std::string loginId = "admin";
    std::string password = "admin";
    bool sysupError = false;         // sysup always ends in "error"
    std::string silentAfter;         // command after which the console never answers again; empty: never
    int expansionDelayMs = 200;      // pause before each progress block of sysup
    int expansionBlocks = 3;         // progress blocks of one sysup
    int restartTimeMs = 3000;        // time after "reboot" during which connections are refused
};

// What the device is: its settings, its file system and what changes while it runs.
struct DeviceState {
    DeviceSettings settings;
    DeviceFileSystem fileSystem;
    FirmwareVersion installedVersion;
    bool silent = false;
    std::map<long long, long long> exports;  // setexport/putexport values by port
    std::string logName;  // before each of its log lines: "127.0.0.2 " in a fleet, empty for a lone device
};

}  // namespace tessel::devsim
