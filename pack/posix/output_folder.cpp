#include "pack/output_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace tessel::pack {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

bool IsEmptyFolder(int folder) {
    const int copy = ::dup(folder);
    if (copy < 0) return false;
    DIR* entries = ::fdopendir(copy);
    if (entries == nullptr) {
        ::close(copy);
        return false;
    }
    bool empty = true;
    while (const dirent* entry = ::readdir(entries)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") {
            empty = false;
            break;
        }
    }
    ::closedir(entries);
    return empty;
}

// The folder that holds path, and path's last name.
std::pair<std::string, std::string> SplitPath(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

}  // namespace

OutputFolder::OutputFolder(std::string path, std::intptr_t parent, std::intptr_t folder, bool created)
    : path_(std::move(path)), parent_(parent), folder_(folder), created_(created) {}

OutputFolder::OutputFolder(OutputFolder&& other) noexcept
    : path_(std::move(other.path_)),
      parent_(std::exchange(other.parent_, -1)),
      folder_(std::exchange(other.folder_, -1)),
      created_(other.created_),
      made_(std::move(other.made_)),
      opened_(std::move(other.opened_)) {
    other.opened_.clear();
}

OutputFolder::~OutputFolder() {
    for (const auto& [ignored, fd] : opened_) ::close(fd);
    if (folder_ >= 0) ::close(folder_);
    if (parent_ >= 0) ::close(parent_);
}

bool OutputFolder::IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

std::optional<OutputFolder> OutputFolder::Open(const std::string& path, std::string& error) {
    const auto [parentPath, name] = SplitPath(path);
    // "." or "..": a folder that is there already, taken as it is.
    const bool named = IsPlainName(name);
    const int parent = named ? ::open(parentPath.c_str(), kFolderFlags) : -1;
    if (named && parent < 0) {
        error = "cannot create the folder " + path;
        return std::nullopt;
    }
    const bool created = named && ::mkdirat(parent, name.c_str(), 0755) == 0;
    if (named && !created && errno != EEXIST) {
        ::close(parent);
        error = "cannot create the folder " + path;
        return std::nullopt;
    }
    const int folder = named ? ::openat(parent, name.c_str(), kFolderFlags) : ::open(path.c_str(), kFolderFlags);
    OutputFolder output(path, parent, folder, created);
    struct stat info {};
    if (folder < 0 || ::fstat(folder, &info) != 0 || !S_ISDIR(info.st_mode)) {
        error = path + " is there and is no folder";
        return std::nullopt;
    }
    // A folder that another user can change could have its content swapped between writes and the check.
    if (info.st_uid != ::geteuid()) {
        error = "the folder " + path + " belongs to another user";
        return std::nullopt;
    }
    if (created) ::fchmod(folder, 0755);
    else if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        error = "other users can write in the folder " + path;
        return std::nullopt;
    }
    if (!IsEmptyFolder(folder)) {
        error = "the folder " + path + " is not empty";
        return std::nullopt;
    }
    return output;
}

std::optional<std::intptr_t> OutputFolder::enter(std::intptr_t parent, const std::string& name) {
    const bool made = ::mkdirat(parent, name.c_str(), 0755) == 0;
    if (!made && errno != EEXIST) return std::nullopt;
    if (made) made_.push_back({parent, name, true});
    const int fd = ::openat(parent, name.c_str(), kFolderFlags);
    if (fd < 0) return std::nullopt;
    return fd;
}

std::optional<std::intptr_t> OutputFolder::create(const std::vector<std::string>& names) {
    const std::optional<std::intptr_t> folder = folderFor(names);
    if (!folder) return std::nullopt;
    const std::string& name = names.back();
    if (!IsPlainName(name)) return std::nullopt;
    const int fd = ::openat(static_cast<int>(*folder), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                            0600);
    if (fd < 0) return std::nullopt;
    made_.push_back({*folder, name, false});
    return fd;
}

bool OutputFolder::File::append(std::string_view bytes) {
    while (!failed_ && !bytes.empty()) {
        const ssize_t count = ::write(file_, bytes.data(), bytes.size());
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) failed_ = true;
        else bytes.remove_prefix(static_cast<std::size_t>(count));
    }
    return !failed_;
}

bool OutputFolder::finish(std::intptr_t fd, bool filled) {
    // A file cut short (a full disk) must not stay as if it were whole.
    const bool closed = ::close(fd) == 0;
    if (filled && closed) return true;
    const Made file = made_.back();
    made_.pop_back();
    ::unlinkat(file.folder, file.name.c_str(), 0);
    return false;
}

void OutputFolder::discard() {
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) {
        ::unlinkat(it->folder, it->name.c_str(), it->isFolder ? AT_REMOVEDIR : 0);
    }
    made_.clear();
    if (created_ && parent_ >= 0) ::unlinkat(parent_, SplitPath(path_).second.c_str(), AT_REMOVEDIR);
}

}  // namespace tessel::pack
