// A regular file read whole into memory on a thread of its own, so that its first bytes can go out
// while the rest is still being read. The file is read at the disk's pace, not the network's: what
// is sent is the file as it was while it was read, as when it is read in before the transfer starts.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "local_files.h"

namespace skiffs {

class FileLoad {
public:
    enum class State { Reading, Ended, Failed };

    struct Piece {
        // Bytes read and not yet asked for, from the offset asked for; empty when none came in time.
        std::string_view bytes;
        // Ended: the file is read whole, bytes run to its end. Failed: a read failed.
        State state = State::Reading;
    };

    // Opens path and starts reading it. Nothing when path is not a regular file that can be opened,
    // or when the memory for the whole file cannot be had.
    static std::unique_ptr<FileLoad> Start(const std::string& path);

    // Stops the reading and waits for it.
    ~FileLoad();
    FileLoad(const FileLoad&) = delete;
    FileLoad& operator=(const FileLoad&) = delete;

    // The file's size: as it was when it was opened, or what was read when the file shrank meanwhile.
    std::size_t Size() const;

    // At most max of the bytes read from offset on; waits up to wait for the first of them.
    Piece Next(std::size_t offset, std::size_t max, std::chrono::milliseconds wait);

    // Waits for the reading to end: the whole file, or nothing when a read failed.
    std::optional<std::string_view> Whole();

private:
    FileLoad(std::unique_ptr<ReadableFile> file, FileData data);
    void ReadAll();

    // Closed once the reading has ended.
    std::unique_ptr<ReadableFile> file_;
    FileData data_;
    mutable std::mutex mutex_;
    std::condition_variable progressed_;
    std::size_t read_ = 0;
    State state_ = State::Reading;
    bool stop_ = false;
    std::thread reader_;
};

}  // namespace skiffs
