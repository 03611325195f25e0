#include "devsim/device_script_host.h"

#include <fstream>

namespace tessel::devsim {

namespace {

void ExpectArgs(int line, const std::string& name, const std::vector<ScriptValue>& args, std::size_t count) {
    if (args.size() != count) throw ScriptError(line, name + ": needs " + std::to_string(count) + " arguments");
}

const std::string& TextArg(int line, const std::string& name, const ScriptValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) return *text;
    throw ScriptError(line, name + ": needs a text argument");
}

long long NumberArg(int line, const std::string& name, const ScriptValue& value) {
    if (const auto* number = std::get_if<long long>(&value)) return *number;
    throw ScriptError(line, name + ": needs a number argument");
}

}  // namespace

std::optional<ScriptValue> DeviceScriptHost::CallBuiltin(int line, const std::string& name,
                                                         const std::vector<ScriptValue>& args) {
    if (name == "fileopen") return FileOpen(line, args);
    if (name == "fileclose") {
        ExpectArgs(line, name, args, 1);
        return openFiles_.erase(NumberArg(line, name, args[0])) == 1 ? 0LL : -1LL;
    }
    if (name == "filedelete") return FileDelete(line, args);
    if (name == "filerename") return FileRename(line, args);
    if (name == "setexport" || name == "putexport") return SetExport(line, name, args);
    if (name == "print") {
        for (const auto& arg : args) {
            output_ += std::holds_alternative<long long>(arg) ? std::to_string(std::get<long long>(arg))
                                                              : std::get<std::string>(arg);
        }
        output_ += "\r\n";
        return 0LL;
    }
    if (name == "sysver") {
        ExpectArgs(line, name, args, 0);
        return device_.installedVersion.Text();
    }
    return std::nullopt;
}

long long DeviceScriptHost::FileOpen(int line, const std::vector<ScriptValue>& args) {
    ExpectArgs(line, "fileopen", args, 2);
    const std::string& path = TextArg(line, "fileopen", args[0]);
    const std::string& mode = TextArg(line, "fileopen", args[1]);
    const auto host = device_.fileSystem.HostPath(path);
    bool opened = false;
    if (host && mode == "r") {
        opened = std::filesystem::is_regular_file(*host);
    } else if (host && mode == "w") {
        opened = static_cast<bool>(std::ofstream(*host, std::ios::binary | std::ios::trunc));
    }
    log_("script: fileopen " + path + " \"" + mode + "\": " + (opened ? "opened" : "cannot open"));
    if (!opened) return -1;
    openFiles_[nextFd_] = *host;
    return nextFd_++;
}

long long DeviceScriptHost::FileDelete(int line, const std::vector<ScriptValue>& args) {
    ExpectArgs(line, "filedelete", args, 1);
    const std::string& path = TextArg(line, "filedelete", args[0]);
    const auto host = device_.fileSystem.HostPath(path);
    std::error_code error;
    const bool deleted = host && std::filesystem::is_regular_file(*host) && std::filesystem::remove(*host, error);
    log_("script: filedelete " + path + ": " + (deleted ? "deleted" : "no such file"));
    return deleted ? 0 : -1;
}

long long DeviceScriptHost::FileRename(int line, const std::vector<ScriptValue>& args) {
    ExpectArgs(line, "filerename", args, 2);
    const std::string& path = TextArg(line, "filerename", args[0]);
    const std::string& newName = TextArg(line, "filerename", args[1]);
    const auto from = device_.fileSystem.HostPath(path);
    std::optional<std::filesystem::path> to;
    if (newName.find_first_of("\\/:") == std::string::npos) {
        if (from && !newName.empty() && newName != "." && newName != "..") to = from->parent_path() / newName;
    } else {
        to = device_.fileSystem.HostPath(newName);
    }
    std::error_code error;
    const bool renamed = from && to && std::filesystem::is_regular_file(*from) && !std::filesystem::exists(*to) &&
                         (std::filesystem::rename(*from, *to, error), !error);
    log_("script: filerename " + path + " to " + newName + ": " + (renamed ? "renamed" : "failed"));
    return renamed ? 0 : -1;
}

long long DeviceScriptHost::SetExport(int line, const std::string& name, const std::vector<ScriptValue>& args) {
    ExpectArgs(line, name, args, 2);
    const long long port = NumberArg(line, name, args[0]);
    const long long value = NumberArg(line, name, args[1]);
    device_.exports[port] = value;
    log_("script: " + name + "(" + std::to_string(port) + ", " + std::to_string(value) + ")");
    return 0;
}

}  // namespace tessel::devsim
