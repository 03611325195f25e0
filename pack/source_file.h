// A source file of a package build, below the manifest's folder: opened without following a link in any
// component of its path (a linked folder beside the manifest must not carry /etc into a package), and read
// in bounded pieces, never past the size it was taken with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace tessel::pack {

class SourceFile {
public:
    // The file at relative (a path with '/' separators, no "..") below folder, when it is a regular file of
    // at most maxBytes reached without a link; else nullopt.
    static std::optional<SourceFile> Open(const std::string& folder, const std::string& relative,
                                          std::uintmax_t maxBytes);

    SourceFile(SourceFile&& other) noexcept;
    SourceFile& operator=(SourceFile&&) = delete;
    ~SourceFile();

    std::uintmax_t size() const { return size_; }
    // The next bytes, at most max of them, into chunk; an empty chunk at the end. False when a read fails or
    // the file has grown past its size.
    bool read(std::string& chunk, std::size_t max);

private:
    SourceFile(std::intptr_t file, std::uintmax_t size) : file_(file), size_(size) {}

    // A descriptor, or on Windows a handle.
    std::intptr_t file_;
    std::uintmax_t size_;
    std::uintmax_t read_ = 0;
};

}  // namespace tessel::pack
