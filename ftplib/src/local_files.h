// Local file operations of a transfer, on the system's files: each system implements them in a
// folder of its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace skiffs {

// Replaces the contents of an existing or new file at target with those of source.
bool CopyOverFile(const std::string& source, const std::string& target);

// Writes data to a new file at target: an existing target is removed first, the new one is
// created exclusively and without following links.
bool WriteNewFile(const std::string& target, std::string_view data);

// Memory for the whole contents of a file.
class FileData {
public:
    // Throws std::bad_alloc when the memory cannot be had.
    explicit FileData(std::size_t size);
    char* data() { return bytes_.get(); }
    std::size_t size() const { return size_; }

private:
    struct Free {
        void operator()(char* bytes) const;
    };
    // Not zero-filled first: every byte is read from the file before it is used.
    std::unique_ptr<char[], Free> bytes_;
    std::size_t size_ = 0;
};

// A regular file open for reading, closed when it goes.
class ReadableFile {
public:
    // Nothing when path is not a regular file that can be opened for reading.
    static std::unique_ptr<ReadableFile> Open(const std::string& path);

    virtual ~ReadableFile() = default;
    // The size the file had when it was opened.
    virtual std::uint64_t Size() const = 0;
    // Reads at most max bytes into buf: how many came, 0 at the end, nothing when the read failed.
    virtual std::optional<std::size_t> Read(char* buf, std::size_t max) = 0;
};

// True when path is a regular file that can be opened for reading.
bool CanReadFile(const std::string& path);

// Opens path for writing, creating it when missing and leaving an existing file as it is.
bool CanWriteFile(const std::string& path);

// The size of what path names; nothing when it cannot be looked at.
std::optional<std::uint64_t> FileSize(const std::string& path);

}  // namespace skiffs
