#include "file_load.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>
#include <system_error>

namespace skiffs {

namespace {

// Each read hands the sender this much more of the file: small enough that the first bytes are
// soon there, large enough that a big file takes few system calls.
constexpr std::size_t kReadPiece = std::size_t{1} << 20;

}  // namespace

std::unique_ptr<FileLoad> FileLoad::Start(const std::string& path) {
    const int fd = OpenRegularForReading(path);
    if (fd < 0) return nullptr;
    struct stat st {};
    std::unique_ptr<FileLoad> load;
    try {
        if (fstat(fd, &st) == 0) load.reset(new FileLoad(fd, FileData(static_cast<std::size_t>(st.st_size))));
    } catch (const std::bad_alloc&) {
    }
    if (!load) {
        close(fd);
        return nullptr;
    }
    try {
        load->reader_ = std::thread(&FileLoad::ReadAll, load.get());
    } catch (const std::system_error&) {
        // No thread to be had: the file is read before the transfer starts.
        load->ReadAll();
    }
    return load;
}

FileLoad::FileLoad(int fd, FileData data) : fd_(fd), data_(std::move(data)) {}

FileLoad::~FileLoad() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    if (reader_.joinable()) reader_.join();
}

void FileLoad::ReadAll() {
    std::size_t got = 0;
    State end = State::Ended;
    while (got < data_.size()) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (stop_) break;
        }
        const ssize_t n = read(fd_, data_.data() + got, std::min(kReadPiece, data_.size() - got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            end = State::Failed;
            break;
        }
        // A file that shrank while it was read gives what it still had.
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            read_ = got;
        }
        progressed_.notify_all();
    }
    close(fd_);
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        read_ = got;
        state_ = end;
    }
    progressed_.notify_all();
}

std::size_t FileLoad::Size() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return state_ == State::Reading ? data_.size() : read_;
}

FileLoad::Piece FileLoad::Next(std::size_t offset, std::size_t max, std::chrono::milliseconds wait) {
    std::unique_lock<std::mutex> lock(mutex_);
    progressed_.wait_for(lock, wait, [&] { return read_ > offset || state_ != State::Reading; });
    Piece piece;
    piece.state = state_;
    // The reader writes only beyond read_, so the bytes before it can be used without the lock.
    if (read_ > offset) piece.bytes = std::string_view(data_.data() + offset, std::min(max, read_ - offset));
    return piece;
}

std::optional<std::string_view> FileLoad::Whole() {
    std::unique_lock<std::mutex> lock(mutex_);
    progressed_.wait(lock, [&] { return state_ != State::Reading; });
    if (state_ == State::Failed) return std::nullopt;
    return std::string_view(data_.data(), read_);
}

}  // namespace skiffs
