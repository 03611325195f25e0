#include "file_load.h"

#include <algorithm>
#include <new>
#include <system_error>

namespace skiffs {

namespace {

// Each read hands the sender this much more of the file: small enough that the first bytes are
// soon there, large enough that a big file takes few system calls.
constexpr std::size_t kReadPiece = std::size_t{1} << 20;

}  // namespace

std::unique_ptr<FileLoad> FileLoad::Start(const std::string& path) {
    std::unique_ptr<ReadableFile> file = ReadableFile::Open(path);
    if (!file) return nullptr;
    std::unique_ptr<FileLoad> load;
    try {
        const auto size = static_cast<std::size_t>(file->Size());
        load.reset(new FileLoad(std::move(file), FileData(size)));
    } catch (const std::bad_alloc&) {
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

FileLoad::FileLoad(std::unique_ptr<ReadableFile> file, FileData data)
    : file_(std::move(file)), data_(std::move(data)) {}

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
        const std::optional<std::size_t> n = file_->Read(data_.data() + got, std::min(kReadPiece, data_.size() - got));
        if (!n) {
            end = State::Failed;
            break;
        }
        // A file that shrank while it was read gives what it still had.
        if (*n == 0) break;
        got += *n;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            read_ = got;
        }
        progressed_.notify_all();
    }
    file_.reset();
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
