// Paths between the program's narrow text (bytes on POSIX, UTF-8 on Windows) and std::filesystem, whose narrow
// strings are the ANSI code page on Windows and would lose what it cannot hold.
#pragma once

#include <filesystem>
#include <string>

namespace tessel::cli {

inline std::filesystem::path PathOf(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string TextOf(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace tessel::cli
