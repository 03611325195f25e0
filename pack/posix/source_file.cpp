#include "pack/source_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace tessel::pack {
namespace {

// Closes the descriptor unless it is handed on.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_;
};

}  // namespace

std::optional<SourceFile> SourceFile::Open(const std::string& folder, const std::string& relative,
                                           std::uintmax_t maxBytes) {
    // The manifest's own folder is taken as the user gave it; below it, no component is a link.
    Descriptor at(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (at.get() < 0 || relative.empty()) return std::nullopt;
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = relative.find('/', start);
        const std::string name = relative.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (slash == std::string::npos) {
            // O_NONBLOCK: a FIFO would otherwise wait for a writer for good; a regular file ignores it.
            Descriptor file(::openat(at.get(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
            struct stat info {};
            if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
            if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) return std::nullopt;
            return SourceFile(file.release(), static_cast<std::uintmax_t>(info.st_size));
        }
        if (!name.empty() && name != ".") {
            const int next = ::openat(at.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (next < 0) return std::nullopt;
            at.reset(next);
        }
        start = slash + 1;
    }
}

SourceFile::SourceFile(SourceFile&& other) noexcept
    : file_(std::exchange(other.file_, -1)), size_(other.size_), read_(other.read_) {}

SourceFile::~SourceFile() {
    if (file_ >= 0) ::close(static_cast<int>(file_));
}

bool SourceFile::read(std::string& chunk, std::size_t max) {
    chunk.resize(max);
    for (;;) {
        const ssize_t count = ::read(static_cast<int>(file_), chunk.data(), max);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return false;
        chunk.resize(static_cast<std::size_t>(count));
        read_ += static_cast<std::uintmax_t>(count);
        // A file that grows while it is read is held to the size it was checked with.
        return read_ <= size_;
    }
}

}  // namespace tessel::pack
