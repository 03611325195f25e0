// Any management file: both readers take it apart without fault, and every text they keep stays
// within its limit of 259 bytes.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "dialog/update_management_file.h"

namespace {

constexpr std::size_t kFieldLimit = 259;

const std::filesystem::path& PackageFolder() {
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() / ("tessel-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path& folder = PackageFolder();
    std::ofstream(folder / "UpDateMng.txt", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    tessel::UpdateHeader header;
    if (tessel::ReadUpdateHeader(folder.string(), header)) {
        if (header.caption.size() > kFieldLimit || header.firmwareVersion.size() > kFieldLimit ||
            header.scriptVersion.size() > kFieldLimit || (header.moveFlag != 0 && header.moveFlag != 1)) {
            std::abort();
        }
    }
    std::vector<tessel::UpdateFileEntry> list;
    std::uint8_t key = 0;
    if (tessel::ReadUpdateFileList(folder.string(), list, key) == 0) {
        for (const auto& entry : list) {
            if (entry.scrambledName.size() > kFieldLimit || entry.plainName.size() > kFieldLimit ||
                entry.devicePath.size() > kFieldLimit) {
                std::abort();
            }
        }
    }
    return 0;
}
