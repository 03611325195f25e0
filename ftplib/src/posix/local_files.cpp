#include "local_files.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <new>

namespace skiffs {

namespace {

// Closes a descriptor when it goes out of scope.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    bool ok() const { return fd_ >= 0; }
    // Closes now and reports whether the data reached the file.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return close(fd) == 0;
    }

private:
    int fd_;
};

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool CopyContents(int from, int to) {
    // In the kernel where the file systems allow it; through a buffer where they don't.
    for (;;) {
        const ssize_t n = copy_file_range(from, nullptr, to, nullptr, std::size_t{1} << 30, 0);
        if (n == 0) return true;
        if (n > 0) continue;
        if (errno == EINTR) continue;
        if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) return false;
        break;
    }
    std::array<char, 1 << 16> block;
    for (;;) {
        const ssize_t n = read(from, block.data(), block.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        if (!WriteAll(to, block.data(), static_cast<std::size_t>(n))) return false;
    }
}

int CreateExclusive(const std::string& target) {
    unlink(target.c_str());
    return open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
}

// A descriptor of path opened for reading when it is a regular file, else -1; its size in size.
int OpenRegularForReading(const std::string& path, std::uint64_t* size = nullptr) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd >= 0 && (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        close(fd);
        return -1;
    }
    if (size != nullptr) *size = static_cast<std::uint64_t>(st.st_size);
    return fd;
}

class PosixReadableFile final : public ReadableFile {
public:
    PosixReadableFile(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
    std::uint64_t Size() const override { return size_; }
    std::optional<std::size_t> Read(char* buf, std::size_t max) override {
        for (;;) {
            const ssize_t n = read(fd_.get(), buf, max);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return std::nullopt;
            return static_cast<std::size_t>(n);
        }
    }

private:
    Fd fd_;
    std::uint64_t size_;
};

constexpr std::size_t kHugePage = std::size_t{2} << 20;

}  // namespace

std::unique_ptr<ReadableFile> ReadableFile::Open(const std::string& path) {
    std::uint64_t size = 0;
    const int fd = OpenRegularForReading(path, &size);
    if (fd < 0) return nullptr;
    std::unique_ptr<ReadableFile> file(new (std::nothrow) PosixReadableFile(fd, size));
    if (!file) close(fd);
    return file;
}

std::optional<std::uint64_t> FileSize(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

FileData::FileData(std::size_t size) : size_(size) {
    // A large file goes into huge pages where the system offers them: far fewer page faults while the
    // whole file is read in.
    if (size >= kHugePage) {
        const std::size_t rounded = (size + kHugePage - 1) / kHugePage * kHugePage;
        bytes_.reset(static_cast<char*>(std::aligned_alloc(kHugePage, rounded)));
        if (bytes_) madvise(bytes_.get(), rounded, MADV_HUGEPAGE);
    } else {
        bytes_.reset(static_cast<char*>(std::malloc(size == 0 ? 1 : size)));
    }
    if (!bytes_) throw std::bad_alloc();
}

void FileData::Free::operator()(char* bytes) const { std::free(bytes); }

bool CopyOverFile(const std::string& source, const std::string& target) {
    Fd from(OpenRegularForReading(source));
    if (!from.ok()) return false;
    Fd to(open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    return to.ok() && CopyContents(from.get(), to.get()) && to.Close();
}

bool WriteNewFile(const std::string& target, std::string_view data) {
    Fd to(CreateExclusive(target));
    return to.ok() && WriteAll(to.get(), data.data(), data.size()) && to.Close();
}

bool CanReadFile(const std::string& path) { return Fd(OpenRegularForReading(path)).ok(); }

bool CanWriteFile(const std::string& path) {
    return Fd(open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666)).ok();
}

}  // namespace skiffs
