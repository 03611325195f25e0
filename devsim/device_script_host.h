#pragma once

#include "devsim/device_state.h"
#include "devsim/script_runner.h"

#include <functional>
#include <string>

namespace tessel::devsim {

// The built-in functions of the device's scripts, working on the device file system:
//   fileopen(path, mode) -> fd >= 0 or -1 ("r": an existing file; "w": created or emptied)
//   fileclose(fd), filedelete(path), filerename(path, newName) -> 0 or -1 (newName without a folder stays
//   in the file's folder), setexport(port, value), putexport(port, value) -> 0,
//   print(values...) prints its arguments and a line end, sysver() -> installed version "dd.dd.dd".
class DeviceScriptHost : public ScriptHost {
public:
    using Logger = std::function<void(const std::string&)>;

    DeviceScriptHost(DeviceState& device, Logger log) : device_(device), log_(std::move(log)) {}

    std::optional<ScriptValue> CallBuiltin(int line, const std::string& name,
                                           const std::vector<ScriptValue>& args) override;

    // What the script printed, CR LF line ends.
    const std::string& Output() const { return output_; }

private:
    long long FileOpen(int line, const std::vector<ScriptValue>& args);
    long long FileDelete(int line, const std::vector<ScriptValue>& args);
    long long FileRename(int line, const std::vector<ScriptValue>& args);
    long long SetExport(int line, const std::string& name, const std::vector<ScriptValue>& args);

    DeviceState& device_;
    Logger log_;
    std::string output_;
    std::map<long long, std::filesystem::path> openFiles_;
    long long nextFd_ = 3;
};

}  // namespace tessel::devsim
