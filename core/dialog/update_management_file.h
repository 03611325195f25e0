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
// A real package lists tens of files in a few kilobytes; these bounds keep a hostile one from taking the
// machine's memory or time.
inline constexpr std::size_t kMaxManagementFileBytes = 1024 * 1024;
inline constexpr std::size_t kMaxListedFiles = 1000;

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

// Why a file list was refused, for the command line's second line: the line of the management file (1 for the
// first; 0 when the file as a whole is at fault) and what is wrong there, in UTF-8.
struct ManagementFileFault {
    std::size_t line = 0;
    std::string reason;
};

// Replaces the list and, when a key line parses, the scramble key; returns 0. Returns -1, leaves both
// untouched and describes the fault when the file cannot be read or is larger than kMaxManagementFileBytes;
// when it starts with a byte-order mark or holds a NUL byte (it is not code page 932 text); when a field or a
// local path composed from it is longer than kMaxPathBytes; when a scrambled or plain name is not a plain
// file name (it holds a path separator, "..", or a control byte); when it lists more than kMaxListedFiles
// files, or lists files without a key line that parses.
int ReadUpdateFileList(std::string_view programDirectory, std::vector<UpdateFileEntry>& list, std::uint8_t& scrambleKey,
                       ManagementFileFault* fault = nullptr);

}  // namespace tessel
