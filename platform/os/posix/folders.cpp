#include "platform/os/folders.h"
#include "platform/os/files.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

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

// Whether entries of a folder stay as their owners left them: nobody but root and this user owns it, and
// where others may write in it, the sticky bit keeps them from renaming or removing what is not theirs.
bool KeepsEntriesOfTheirOwners(const struct stat& info) {
    if (!S_ISDIR(info.st_mode) || (info.st_uid != 0 && info.st_uid != ::getuid())) return false;
    return (info.st_mode & (S_IWGRP | S_IWOTH)) == 0 || (info.st_mode & S_ISVTX) != 0;
}

}  // namespace

std::string TemporaryFolder() {
    const char* temp = std::getenv("TMPDIR");
    if (temp == nullptr || *temp == '\0') return "/tmp";
    // In a folder that another user controls, they could move a work folder away and put their own files in
    // its place before they are sent: such a TMPDIR is stepped around. A missing one is left to fail.
    struct stat info {};
    if (::stat(temp, &info) == 0 && !KeepsEntriesOfTheirOwners(info)) return "/tmp";
    return temp;
}

std::optional<std::string> MakePrivateFolder() {
    // mkdtemp makes the folder with mode 0700 under a fresh name, and fails rather than reuse one.
    const std::string pattern = TemporaryFolder() + "/tessel-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) == nullptr) return std::nullopt;
    return std::string(name.data());
}

std::optional<std::string> MakeOwnFolder(const std::string& folder, std::string& why) {
    const std::size_t slash = folder.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash))) {
        why = "its parent folder cannot be made";
        return std::nullopt;
    }
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        why = "it cannot be made";
        return std::nullopt;
    }
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0 || S_ISLNK(info.st_mode) || !S_ISDIR(info.st_mode)) {
        why = "it is a link or not a folder";
    } else if (info.st_uid != ::getuid()) {
        why = "another user owns it";
    } else if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        why = "other users may write in it";
    } else {
        return folder;
    }
    return std::nullopt;
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
