#include "part_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace skiffs {

PartFile::PartFile(std::string target) : target_(std::move(target)) {
    std::vector<char> name(target_.begin(), target_.end());
    const std::string_view suffix = ".part-XXXXXX";
    name.insert(name.end(), suffix.begin(), suffix.end());
    name.push_back('\0');
    fd_ = mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0) return;
    path_ = name.data();
    // The download check has made the target already: the data takes on its permissions.
    struct stat st {};
    if (stat(target_.c_str(), &st) == 0) fchmod(fd_, st.st_mode & 07777);
}

PartFile::~PartFile() {
    if (fd_ >= 0) close(fd_);
    if (!path_.empty()) unlink(path_.c_str());
}

bool PartFile::Write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = write(fd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool PartFile::Commit() {
    const int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0 || rename(path_.c_str(), target_.c_str()) != 0) return false;
    path_.clear();
    return true;
}

}  // namespace skiffs
