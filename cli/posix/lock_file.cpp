#include "cli/lock_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace tessel::cli {

bool PrepareLockFolder(const std::string& folder) {
    struct stat info {};
    return ::mkdir(folder.c_str(), 0700) == 0 || (errno == EEXIST && ::lstat(folder.c_str(), &info) == 0 &&
                                                  S_ISDIR(info.st_mode) && info.st_uid == ::getuid());
}

LockAttempt LockFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return {LockResult::Failed, -1, std::generic_category().message(errno)};
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return {LockResult::Busy, -1, ""};
    }
    return {LockResult::Held, fd, ""};
}

void UnlockFile(std::intptr_t file) { ::close(static_cast<int>(file)); }

}  // namespace tessel::cli
