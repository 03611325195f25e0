#include "procedures/work_folder.h"

#include "platform/os/files.h"
#include "platform/os/folders.h"

namespace tessel {

WorkFolder::~WorkFolder() {
    if (!path_.empty()) os::RemoveFolderTree(path_);
}

std::string WorkFolder::parent() { return os::TemporaryFolder(); }

std::optional<std::string> WorkFolder::path() {
    if (!path_.empty()) return path_;
    std::optional<std::string> made = os::MakePrivateFolder();
    if (!made) return std::nullopt;
    path_ = std::move(*made);
    return path_;
}

std::optional<std::string> WorkFolder::fileFor(std::string_view name) {
    const std::optional<std::string> folder = path();
    if (!folder) return std::nullopt;
    return os::JoinPath(*folder, os::LastPathComponent(name));
}

}  // namespace tessel
