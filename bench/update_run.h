// One whole update through tessel-cli's run code, in this process, against a simulated device: its wall time,
// the time it waited on purpose (its pauses and the timers that ran to expiry) and the CPU time it used.
#pragma once

#include <filesystem>

#include "platform/update_observer.h"

namespace tessel::bench {

struct UpdateRun {
    int status = -1;  // 0: the update succeeded
    double wall = 0;
    double waited = 0;
    double cpu = 0;
};

UpdateRun RunUpdateAgainst(UpdateProcedure procedure, const std::filesystem::path& package, unsigned short ftpPort,
                           unsigned short consolePort);

// The time the simulator's own replies take during installs firmware installations at this expansion delay,
// beyond what the updater's pauses cover, in seconds.
double SimulatorInstallDelays(int installs, int expansionDelayMs);

}  // namespace tessel::bench
