#include <cstdlib>
#include <string>

#include "pack/trust_folder.h"

namespace tessel::pack {
namespace {

// An absolute path from the variable, else empty: a relative one would depend on the current folder.
std::string AbsoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    return value && value[0] == '/' ? std::string(value) : std::string();
}

}  // namespace

std::vector<std::string> DefaultTrustFolders() {
    std::vector<std::string> folders;
    std::string config = AbsoluteVariable("XDG_CONFIG_HOME");
    if (config.empty()) {
        const std::string home = AbsoluteVariable("HOME");
        if (!home.empty()) config = home + "/.config";
    }
    if (!config.empty()) folders.push_back(config + "/tessel/trusted-keys");
    folders.push_back("/etc/tessel/trusted-keys");
    return folders;
}

}  // namespace tessel::pack
