#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tessel {

// The whole content of a regular file; nullopt when it cannot be opened or read (a folder, a failing read).
// Never throws.
std::optional<std::string> ReadFileBytes(const std::string& path);

// Creates path and writes bytes into it: only a new file (no existing file or link is ever opened), readable
// by its owner alone. False when it cannot; a file it created but could not fill is removed again.
bool WriteNewFile(const std::string& path, std::string_view bytes);

}  // namespace tessel
