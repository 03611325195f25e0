#include "platform/os/held_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

#include "platform/os/folders.h"

namespace tessel::os {
namespace {

// Folders inside a work folder are not expected; a deeper tree than this is not followed down.
constexpr int kMaxDepth = 16;

// Removes what the folder open at folder holds, through descriptors only: a name swapped for a link on the way
// is removed as the link, never followed.
void RemoveEntriesAt(int folder, int depth) {
    const int listing = ::dup(folder);
    if (listing < 0) return;
    DIR* entries = ::fdopendir(listing);
    if (entries == nullptr) {
        ::close(listing);
        return;
    }
    while (const dirent* entry = ::readdir(entries)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        if (::unlinkat(folder, name.c_str(), 0) == 0 || depth >= kMaxDepth) continue;
        const int inner = ::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (inner < 0) continue;
        RemoveEntriesAt(inner, depth + 1);
        ::close(inner);
        ::unlinkat(folder, name.c_str(), AT_REMOVEDIR);
    }
    ::closedir(entries);
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

}  // namespace

std::optional<HeldFolder> HeldFolder::Make() {
    const std::optional<std::string> name = MakePrivateFolder();
    if (!name) return std::nullopt;
    const int held = ::open(name->c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat info {};
    // What was opened must be the folder just made: this user's, and nobody else's to enter.
    if (held < 0 || ::fstat(held, &info) != 0 || info.st_uid != ::getuid() || (info.st_mode & 077) != 0) {
        if (held >= 0) ::close(held);
        ::rmdir(name->c_str());
        return std::nullopt;
    }
    std::string path = "/proc/self/fd/" + std::to_string(held);
    struct stat through {};
    if (::stat(path.c_str(), &through) != 0 || !SameFile(through, info)) path = *name;
    return HeldFolder(*name, std::move(path), held);
}

HeldFolder::~HeldFolder() {
    if (held_ == kNotHeld) return;
    const int folder = static_cast<int>(held_);
    RemoveEntriesAt(folder, 0);
    // The name goes only while it still names the held folder.
    struct stat held {};
    struct stat named {};
    if (::fstat(folder, &held) == 0 && ::lstat(name_.c_str(), &named) == 0 && SameFile(held, named)) {
        ::rmdir(name_.c_str());
    }
    ::close(folder);
}

}  // namespace tessel::os
