#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "pack/file_probe.h"

namespace tessel::pack {

FileProbe ProbeFile(const std::string& path, std::uintmax_t maxBytes) {
    FileProbe probe;
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0) {
        probe.state = errno == ENOENT || errno == ENOTDIR ? FileState::Missing : FileState::Unreadable;
        return probe;
    }
    if (!S_ISREG(link.st_mode)) {
        probe.state = FileState::NotRegular;
        return probe;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        probe.state = FileState::Unreadable;
        return probe;
    }
    struct stat info {};
    const bool known = ::fstat(fd, &info) == 0;
    ::close(fd);
    if (!known) {
        probe.state = FileState::Unreadable;
    } else if (!S_ISREG(info.st_mode)) {
        probe.state = FileState::NotRegular;
    } else {
        probe.size = static_cast<std::uintmax_t>(info.st_size);
        probe.state = probe.size > maxBytes ? FileState::TooLarge : FileState::Readable;
    }
    return probe;
}

}  // namespace tessel::pack
