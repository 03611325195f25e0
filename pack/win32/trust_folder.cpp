#include <string>

#include "pack/trust_folder.h"
#include "platform/os/process.h"

namespace tessel::pack {
namespace {

// The variable's value when it is an absolute path (a drive letter and a separator), else empty. Read as
// UTF-16: a user's name outside the ANSI code page is part of the path.
std::string AbsoluteVariable(const char* name) {
    const std::string value = os::EnvironmentVariable(name).value_or("");
    const bool absolute = value.size() >= 3 && value[1] == ':' && (value[2] == '\\' || value[2] == '/');
    return absolute ? value : std::string();
}

}  // namespace

// The user's %APPDATA%\Tessel\trusted-keys, then the machine's %ProgramData%\Tessel\trusted-keys.
std::vector<std::string> DefaultTrustFolders() {
    std::vector<std::string> folders;
    const std::string user = AbsoluteVariable("APPDATA");
    if (!user.empty()) folders.push_back(user + "\\Tessel\\trusted-keys");
    const std::string machine = AbsoluteVariable("ProgramData");
    folders.push_back((machine.empty() ? std::string("C:\\ProgramData") : machine) + "\\Tessel\\trusted-keys");
    return folders;
}

}  // namespace tessel::pack
