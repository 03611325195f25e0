#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/os/files.h"

namespace tessel {

// Package files are read into memory whole; none of a real package comes near this.
inline constexpr std::size_t kMaxReadFileBytes = 64 * 1024 * 1024;

// The whole content of a regular file of at most maxBytes; nullopt when it cannot be opened or read (a
// folder, a link, a device or a FIFO, a failing read, a larger file, no memory for it). Never throws, never
// blocks on a FIFO and never follows a link in the last component of the path.
inline std::optional<std::string> ReadFileBytes(const std::string& path, std::size_t maxBytes = kMaxReadFileBytes) {
    return os::ReadFileBytes(path, maxBytes);
}

// Any text as one file name: ASCII letters, digits, '.' and '-' stay, every other byte becomes '_' and its
// two hex digits, so that no address or name can reach another folder or collide with another's name.
std::string SafeFileName(std::string_view text);

// True when something other than a regular file is there; creates a new owner-only file only (see files.h).
using os::IsLinkOrSpecialFile;
using os::WriteNewFile;

}  // namespace tessel
