#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/os/held_folder.h"

namespace tessel {

// The folder of one run for the files the updater writes itself (plain copies, the generated script): made
// on first use in the temporary folder ($TMPDIR, else /tmp; on Windows the user's), owner-only, under a name
// nobody else holds, held open so that its files are reached through it and not through a name someone could
// swap, and removed with everything in it when the run ends. The update package is only ever read.
class WorkFolder {
public:
    WorkFolder() = default;
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    // The folder, made now if it is not there yet; nullopt when it cannot be made.
    std::optional<std::string> path();
    // Where a file of that name goes in the folder: only the name's last component counts, so that nothing
    // can lie outside it. nullopt when the folder cannot be made.
    std::optional<std::string> fileFor(std::string_view name);
    // The folder when it has been made, else empty.
    const std::string& existingPath() const;
    // Where the folder is made, for a message when it cannot be.
    static std::string parent();

private:
    std::optional<os::HeldFolder> folder_;
};

}  // namespace tessel
