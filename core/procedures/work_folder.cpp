#include "procedures/work_folder.h"

#include <utility>

#include "platform/os/files.h"
#include "platform/os/folders.h"

namespace tessel {

std::string WorkFolder::parent() { return os::TemporaryFolder(); }

std::optional<std::string> WorkFolder::path() {
    if (!folder_) {
        std::optional<os::HeldFolder> made = os::HeldFolder::Make();
        if (!made) return std::nullopt;
        folder_.emplace(std::move(*made));
    }
    return folder_->path();
}

const std::string& WorkFolder::existingPath() const {
    static const std::string kNone;
    return folder_ ? folder_->path() : kNone;
}

std::optional<std::string> WorkFolder::fileFor(std::string_view name) {
    const std::optional<std::string> folder = path();
    if (!folder) return std::nullopt;
    return os::JoinPath(*folder, os::LastPathComponent(name));
}

}  // namespace tessel
