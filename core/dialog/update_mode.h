#pragma once

#include <cstdint>

namespace tessel {

// The update procedure the controller runs.
enum UpdateMode : std::int32_t {
    AutoscriptMoveAside = 0,
    AutoscriptRestore = 1,
    FirmwareUpdate = 2,
    ScriptTransfer = 3,
    // Reads the firmware version and ends: no install, no restart.
    VersionQuery = 4,
};

// The modes that end in the device's restart.
inline bool IsUpdateMode(std::int32_t mode) { return mode >= AutoscriptMoveAside && mode <= ScriptTransfer; }

}  // namespace tessel
