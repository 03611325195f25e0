#pragma once

#include "devsim/firmware_version.h"

#include <filesystem>
#include <string>
#include <variant>

namespace tessel::devsim {

// The simulated firmware image: its first line is "TESSEL FIRMWARE d.d.d" (LF or CRLF), any bytes may follow.
inline constexpr std::string_view kFirmwareImageHeader = "TESSEL FIRMWARE ";

// The version an image carries, or a short reason why it cannot be installed.
std::variant<FirmwareVersion, std::string> ReadImageVersion(const std::filesystem::path& image);

}  // namespace tessel::devsim
