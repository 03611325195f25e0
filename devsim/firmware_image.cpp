#include "devsim/firmware_image.h"

#include <fstream>

namespace tessel::devsim {

std::variant<FirmwareVersion, std::string> ReadImageVersion(const std::filesystem::path& image) {
    std::ifstream in(image, std::ios::binary);
    if (!in) return std::string("image not found");
    std::string line;
    std::getline(in, line);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.starts_with(kFirmwareImageHeader)) return std::string("not a firmware image");
    const auto version = FirmwareVersion::Parse(std::string_view(line).substr(kFirmwareImageHeader.size()));
    if (!version) return std::string("bad version in image");
    return *version;
}

}  // namespace tessel::devsim
