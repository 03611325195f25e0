// A file handle that closes when it goes.
#pragma once

#include <windows.h>

namespace skiffs {

class FileHandle {
public:
    explicit FileHandle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    ~FileHandle() {
        if (ok()) CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE get() const { return handle_; }
    bool ok() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    // Closes now and reports whether the data reached the file.
    bool Close() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return CloseHandle(handle) != 0;
    }

private:
    HANDLE handle_;
};

// Writes all of size bytes.
bool WriteAll(HANDLE file, const char* data, std::size_t size);

}  // namespace skiffs
