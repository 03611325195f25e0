#include <cstdlib>
#include <string>

#include "pack/trust_folder.h"

namespace tessel::pack {
namespace {

// The variable's value when it is an absolute path (a drive letter and a separator), else empty.
std::string AbsoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    const bool absolute = value && value[0] != '\0' && value[1] == ':' && (value[2] == '\\' || value[2] == '/');
    return absolute ? std::string(value) : std::string();
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
