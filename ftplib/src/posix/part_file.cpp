#include "part_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>

namespace skiffs {

namespace {

class PosixPartFile final : public PartFile {
public:
    PosixPartFile(std::string target, std::string path, int fd)
        : target_(std::move(target)), path_(std::move(path)), fd_(fd) {}

    ~PosixPartFile() override {
        if (fd_ >= 0) close(fd_);
        if (!path_.empty()) unlink(path_.c_str());
    }
    PosixPartFile(const PosixPartFile&) = delete;
    PosixPartFile& operator=(const PosixPartFile&) = delete;

    bool Write(std::string_view bytes) override {
        while (!bytes.empty()) {
            const ssize_t n = write(fd_, bytes.data(), bytes.size());
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
        return true;
    }

    bool Commit() override {
        const int fd = fd_;
        fd_ = -1;
        if (close(fd) != 0 || rename(path_.c_str(), target_.c_str()) != 0) return false;
        path_.clear();
        return true;
    }

private:
    std::string target_;
    std::string path_;
    int fd_;
};

}  // namespace

std::unique_ptr<PartFile> PartFile::Create(const std::string& target) {
    std::vector<char> name(target.begin(), target.end());
    const std::string_view suffix = ".part-XXXXXX";
    name.insert(name.end(), suffix.begin(), suffix.end());
    name.push_back('\0');
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return nullptr;
    std::unique_ptr<PartFile> part(new (std::nothrow) PosixPartFile(target, name.data(), fd));
    if (!part) {
        close(fd);
        unlink(name.data());
        return nullptr;
    }
    // The download check has made the target already: the data takes on its permissions.
    struct stat st {};
    if (stat(target.c_str(), &st) == 0) fchmod(fd, st.st_mode & 07777);
    return part;
}

}  // namespace skiffs
