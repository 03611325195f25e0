#include "cli/device_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "cli/device_address.h"
#include "dialog/local_file.h"
#include "platform/os/folders.h"

namespace tessel::cli {

std::string DeviceLockFolder() { return os::RuntimeFolder(); }

std::optional<DeviceLock> DeviceLock::acquire(const std::string& address, std::uint16_t consolePort,
                                              std::string& error) {
    const std::string folder = DeviceLockFolder();
    struct stat info {};
    // Someone else's folder, or a link, in a shared /tmp would let them take or break our locks.
    if (::mkdir(folder.c_str(), 0700) != 0 && (errno != EEXIST || ::lstat(folder.c_str(), &info) != 0 ||
                                               !S_ISDIR(info.st_mode) || info.st_uid != ::getuid())) {
        error = "the lock folder " + folder + " cannot be used";
        return std::nullopt;
    }
    const std::string resolved = CanonicalAddress(address, /*resolve=*/true);
    const std::string path = folder + "/" + SafeFileName(resolved) + "_" + std::to_string(consolePort) + ".lock";
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        error = "the lock file " + path + " cannot be opened: " + std::generic_category().message(errno);
        return std::nullopt;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        error = "another update of " + resolved + " (console port " + std::to_string(consolePort) +
                ") is running; lock " + path;
        return std::nullopt;
    }
    return DeviceLock(fd);
}

DeviceLock::DeviceLock(DeviceLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

// The lock file stays: removing it would let a third run lock a new file while the second still waits on the
// old one.
DeviceLock::~DeviceLock() {
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace tessel::cli
