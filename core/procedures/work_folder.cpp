#include "procedures/work_folder.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace tessel {

WorkFolder::~WorkFolder() {
    if (path_.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string WorkFolder::parent() {
    const char* temp = std::getenv("TMPDIR");
    return temp != nullptr && *temp != '\0' ? std::string(temp) : std::string("/tmp");
}

std::optional<std::string> WorkFolder::path() {
    if (!path_.empty()) return path_;
    // mkdtemp makes the folder with mode 0700 under a fresh name, and fails rather than reuse one.
    std::string pattern = parent() + "/tessel-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) == nullptr) return std::nullopt;
    path_ = name.data();
    return path_;
}

std::optional<std::string> WorkFolder::fileFor(std::string_view name) {
    const std::optional<std::string> folder = path();
    if (!folder) return std::nullopt;
    const std::size_t slash = name.rfind('/');
    if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
    return *folder + "/" + std::string(name);
}

}  // namespace tessel
