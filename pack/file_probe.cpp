#include "pack/file_probe.h"

namespace tessel::pack {

std::string FileStateText(FileState state, std::uintmax_t maxBytes) {
    switch (state) {
    case FileState::Readable: return "";
    case FileState::Missing: return "the file is missing";
    case FileState::NotRegular: return "not a regular file (a link, a folder, a device or a FIFO)";
    case FileState::TooLarge: return "larger than " + std::to_string(maxBytes / (1024 * 1024)) + " MiB";
    case FileState::Unreadable: return "cannot be read";
    }
    return "";
}

}  // namespace tessel::pack
