#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tessel {

// Package files are read into memory whole; none of a real package comes near this.
inline constexpr std::size_t kMaxReadFileBytes = 64 * 1024 * 1024;

// The whole content of a regular file of at most maxBytes; nullopt when it cannot be opened or read (a
// folder, a link, a device or a FIFO, a failing read, a larger file, no memory for it). Never throws, never
// blocks on a FIFO and never follows a link in the last component of the path.
std::optional<std::string> ReadFileBytes(const std::string& path, std::size_t maxBytes = kMaxReadFileBytes);

// Any text as one file name: ASCII letters, digits, '.' and '-' stay, every other byte becomes '_' and its
// two hex digits, so that no address or name can reach another folder or collide with another's name.
std::string SafeFileName(std::string_view text);

// True when something other than a regular file is there: a link (to anything), a folder, a device, a FIFO.
bool IsLinkOrSpecialFile(const std::string& path);

// Creates path and writes bytes into it: only a new file (no existing file or link is ever opened), readable
// by its owner alone. False when it cannot; a file it created but could not fill is removed again.
bool WriteNewFile(const std::string& path, std::string_view bytes);

}  // namespace tessel
