#include "procedures/firmware_version.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "console/device_commands.h"

namespace tessel {
namespace {

// What a device that reports no version is taken to have said.
constexpr std::string_view kFallbackReply = "  01.00.00  value = 0x0 = 0";
constexpr std::size_t kFallbackResultPosition = 12;
constexpr std::size_t kVersionTextLength = 8;

}  // namespace

std::string FirmwareVersionText(std::span<char> buffer) {
    // A block that fills the whole buffer has no terminating zero: the text ends with the buffer.
    const auto textEnd = std::find(buffer.begin(), buffer.end(), '\0');
    const auto textLength = static_cast<std::size_t>(textEnd - buffer.begin());
    std::size_t result = std::string_view(buffer.data(), textLength).find(device::kReturnedZero);
    if (result == std::string_view::npos) {
        std::fill(buffer.begin(), buffer.end(), '\0');
        std::copy_n(kFallbackReply.begin(), std::min(kFallbackReply.size(), buffer.size()), buffer.begin());
        result = kFallbackResultPosition;
    }

    bool firstDotPassed = false;
    std::optional<std::size_t> decidingDot;
    for (std::size_t position = result; position >= 1; --position) {
        if (buffer[position] != '.') continue;
        if (firstDotPassed) decidingDot = position;
        firstDotPassed = true;
    }

    std::string versionText;
    if (decidingDot) {
        // A dot at position 1 would put the window's start before the buffer: it starts at the buffer then.
        const std::size_t start = *decidingDot >= 2 ? *decidingDot - 2 : 0;
        const std::size_t end = std::min(*decidingDot + kVersionTextLength - 2, buffer.size());
        for (std::size_t i = start; i < end && buffer[i] != '\0'; ++i) versionText += buffer[i];
    }
    return versionText;
}

bool HoldsVersionReply(std::span<const char> buffer) {
    const auto textEnd = std::find(buffer.begin(), buffer.end(), '\0');
    const std::string_view text(buffer.data(), static_cast<std::size_t>(textEnd - buffer.begin()));
    return text.find(device::kReturnedZero) != std::string_view::npos;
}

std::optional<std::int32_t> ReadFirmwareVersion(std::span<char> buffer) {
    return VersionNumber(FirmwareVersionText(buffer));
}

std::optional<std::int32_t> VersionNumber(std::string_view text) {
    const std::string versionText(text);
    int major = 0;
    int minor = 0;
    int patch = 0;
    if (std::sscanf(versionText.c_str(), "%d.%d.%d", &major, &minor, &patch) != 3) return std::nullopt;
    return major * 10000 + minor * 100 + patch;
}

}  // namespace tessel
