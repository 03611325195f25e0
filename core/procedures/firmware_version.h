#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tessel {

// The version number (major * 10000 + minor * 100 + patch) that the version script reported in the block
// of the console receive buffer. The text before "value = 0x0 = 0" is searched backwards for dots; the first
// dot met is passed over, and of the others the one nearest the start decides: the eight bytes from two
// before it are read as "%d.%d.%d". A block without "value = 0x0 = 0" is replaced in the buffer by the fixed
// reply of version 01.00.00 first. Nullopt when the text does not read as three numbers.
std::optional<std::int32_t> ReadFirmwareVersion(std::span<char> receiveBuffer);

// The text that ReadFirmwareVersion reads as "%d.%d.%d": up to eight bytes, empty when the reply has no
// deciding dot. The buffer is changed as ReadFirmwareVersion changes it.
std::string FirmwareVersionText(std::span<char> receiveBuffer);

// Whether the block's text (up to its first NUL) holds the version script's successful result: without it,
// the update goes on with the fixed reply, but nothing was read from the device.
bool HoldsVersionReply(std::span<const char> receiveBuffer);

// A version text read as "%d.%d.%d" into major * 10000 + minor * 100 + patch, as the update compares
// versions; nullopt when it does not read as three numbers.
std::optional<std::int32_t> VersionNumber(std::string_view text);

}  // namespace tessel
