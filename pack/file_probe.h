// Whether a file of a package can be read as the updater reads it, without reading it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace tessel::pack {

enum class FileState {
    Readable,
    Missing,
    // A link, a folder, a device or a FIFO: the updater never reads through one.
    NotRegular,
    TooLarge,
    Unreadable,
};

struct FileProbe {
    FileState state = FileState::Missing;
    std::uintmax_t size = 0;
};

// Opens the file as the updater does (no link followed, no wait on a FIFO) and looks at it; maxBytes is the
// largest size the updater takes.
FileProbe ProbeFile(const std::string& path, std::uintmax_t maxBytes);

// Why a file in that state cannot be used, for a finding; empty for a readable one.
std::string FileStateText(FileState state, std::uintmax_t maxBytes);

}  // namespace tessel::pack
