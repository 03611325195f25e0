#include "platform/os/folders.h"

#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace tessel::os {
namespace {

// The variable's value when it is an absolute path, else nullptr.
const char* AbsoluteFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] == '/' ? value : nullptr;
}

}  // namespace

std::string TemporaryFolder() {
    const char* temp = std::getenv("TMPDIR");
    return temp != nullptr && *temp != '\0' ? std::string(temp) : std::string("/tmp");
}

std::optional<std::string> MakePrivateFolder() {
    // mkdtemp makes the folder with mode 0700 under a fresh name, and fails rather than reuse one.
    const std::string pattern = TemporaryFolder() + "/tessel-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) == nullptr) return std::nullopt;
    return std::string(name.data());
}

void RemoveFolderTree(const std::string& folder) {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

std::string StateFolder() {
    if (const char* state = AbsoluteFromEnvironment("XDG_STATE_HOME")) return std::string(state) + "/tessel";
    if (const char* home = AbsoluteFromEnvironment("HOME")) return std::string(home) + "/.local/state/tessel";
    return {};
}

std::string RuntimeFolder() {
    if (const char* runtime = AbsoluteFromEnvironment("XDG_RUNTIME_DIR")) return std::string(runtime) + "/tessel";
    return "/tmp/tessel-" + std::to_string(::getuid());
}

std::string ProgramPath() {
    std::vector<char> path(PATH_MAX + 1);
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) return {};
    return std::string(path.data(), static_cast<std::size_t>(length));
}

}  // namespace tessel::os
