#include "cli/lock_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace tessel::cli {

LockAttempt LockFile(const std::string& path) {
    // The holder removes the file as it lets go: a lock taken on a file that is no longer the one at path holds
    // nothing, so the attempt starts again with the file there now. Each round needs another holder to come and
    // go in between: a few rounds are plenty.
    for (int round = 0; round < 8; ++round) {
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) return {LockResult::Failed, -1, std::generic_category().message(errno)};
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return {LockResult::Busy, -1, ""};
        }
        struct stat held {};
        struct stat there {};
        if (::fstat(fd, &held) == 0 && ::lstat(path.c_str(), &there) == 0 && held.st_dev == there.st_dev &&
            held.st_ino == there.st_ino) {
            return {LockResult::Held, fd, ""};
        }
        ::close(fd);
    }
    return {LockResult::Busy, -1, ""};
}

void UnlockFile(std::intptr_t file, const std::string& path) {
    // Removed while still locked: nobody can take a lock on it between the two steps.
    ::unlink(path.c_str());
    ::close(static_cast<int>(file));
}

}  // namespace tessel::cli
