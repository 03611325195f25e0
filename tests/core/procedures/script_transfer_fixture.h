#pragma once

#include <map>
#include <string>

#include "platform/os/files.h"
#include "procedure_fixture.h"

namespace tessel::sim {

class ScriptTransferTest : public ProcedureTest {
protected:
    std::map<std::string, std::string> listedOnDevice() const {
        std::map<std::string, std::string> files;
        for (const PackageEntry& entry : world.package.entries) files[entry.devicePath] = entry.plainBytes;
        return files;
    }
    bool rebootSent() const { return sent().find("reboot\r") != std::string::npos; }
    std::string workFile(const std::string& name) const { return os::JoinPath(world.dialog.workFolder(), name); }
};

}  // namespace tessel::sim
