#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Local files, as the platform keeps them. Paths are the platform's narrow paths: bytes on POSIX, UTF-8 on
// Windows (converted to UTF-16 for the system at this boundary). Files are always read and written as bytes:
// nothing translates line ends or stops at a Ctrl-Z.
namespace tessel::os {

// The whole content of a regular file of at most maxBytes; nullopt when it cannot be opened or read (a
// folder, a link, a device or a FIFO, a failing read, a larger file, no memory for it). Never throws, never
// blocks on a FIFO and never follows a link in the last component of the path.
std::optional<std::string> ReadFileBytes(const std::string& path, std::size_t maxBytes);

// True when anything is there, a link (even one that leads nowhere) included.
bool PathExists(const std::string& path);

// True when something other than a regular file is there: a link (to anything), a folder, a device, a FIFO.
bool IsLinkOrSpecialFile(const std::string& path);

// Creates path and writes bytes into it: only a new file (no existing file or link is ever opened), readable
// by its owner alone. False when it cannot; a file it created but could not fill is removed again.
bool WriteNewFile(const std::string& path, std::string_view bytes);

// Puts the file from in the place of the file to in one step, replacing to when it exists: a reader sees the
// old file or the new one, never a mix.
bool ReplaceFileAtomically(const std::string& from, const std::string& to);

// Removes a file (not a folder); false when nothing was removed.
bool RemoveFile(const std::string& path);

// Makes the folder and any missing parents, owner-only; true when the folder is there afterwards.
bool MakeFolders(const std::string& folder);

// folder and name joined with the platform's separator.
std::string JoinPath(std::string_view folder, std::string_view name);

// The last component of a path: what follows its last separator.
std::string_view LastPathComponent(std::string_view path);

}  // namespace tessel::os
