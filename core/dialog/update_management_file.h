#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

// The update management file: what an update package holds and where its files go. All texts are the file's
// own code page 932 bytes.

inline constexpr std::string_view kUpdateManagementFileName = "UpDateMng.txt";
// Longest local path and longest field of a file entry, in bytes.
inline constexpr std::size_t kMaxPathBytes = 259;

struct UpdateHeader {
    std::string caption;
    std::string firmwareVersion;
    std::string scriptVersion;
    int moveFlag = 0;
};

struct UpdateFileEntry {
    std::string scrambledName;
    std::string plainName;
    std::string devicePath;
};

// Joins the program directory and a file name the way every local path of the package is formed.
std::string PackagePath(std::string_view programDirectory, std::string_view fileName);

// Fills the header from the file in the program directory; false when the file cannot be read, in which case
// header is reset (empty texts, move flag 0). The texts are taken whole, however long.
bool ReadUpdateHeader(std::string_view programDirectory, UpdateHeader& header);

// Replaces the list and, when a key line parses, the scramble key; returns 0. Returns -1 and leaves both
// untouched when the file cannot be read or a field or a local path composed from it is longer than
// kMaxPathBytes.
int ReadUpdateFileList(std::string_view programDirectory, std::vector<UpdateFileEntry>& list,
                       std::uint8_t& scrambleKey);

}  // namespace tessel
