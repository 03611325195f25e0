#include "cli/device_lock.h"

#include "cli/device_address.h"
#include "cli/lock_file.h"
#include "dialog/local_file.h"
#include "platform/os/files.h"
#include "platform/os/folders.h"

namespace tessel::cli {

std::string DeviceLockFolder() { return os::RuntimeFolder(); }

std::optional<DeviceLock> DeviceLock::acquire(const std::string& address, std::uint16_t consolePort,
                                              std::string& error) {
    const std::string folder = DeviceLockFolder();
    // Another user's folder, or one others may write in, would let them take or break our locks.
    std::string why = "its place cannot be told";
    if (folder.empty() || !os::MakeOwnFolder(folder, why)) {
        error = "the lock folder " + folder + " cannot be used: " + why;
        return std::nullopt;
    }
    const std::string resolved = CanonicalAddress(address, /*resolve=*/true);
    const std::string path =
        os::JoinPath(folder, SafeFileName(resolved) + "_" + std::to_string(consolePort) + ".lock");
    const LockAttempt attempt = LockFile(path);
    switch (attempt.result) {
    case LockResult::Held: return DeviceLock(attempt.file, path);
    case LockResult::Busy:
        error = "another update of " + resolved + " (console port " + std::to_string(consolePort) +
                ") is running; lock " + path;
        return std::nullopt;
    case LockResult::Failed: break;
    }
    error = "the lock file " + path + " cannot be opened: " + attempt.error;
    return std::nullopt;
}

DeviceLock::DeviceLock(DeviceLock&& other) noexcept : file_(other.file_), path_(std::move(other.path_)) {
    other.file_ = kNoFile;
}

DeviceLock::~DeviceLock() {
    if (file_ != kNoFile) UnlockFile(file_, path_);
}

}  // namespace tessel::cli
