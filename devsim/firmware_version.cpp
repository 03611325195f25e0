#include "devsim/firmware_version.h"

#include <cstdio>

namespace tessel::devsim {

namespace {

// Reads one part of one or two digits; advances text past it.
std::optional<int> TakePart(std::string_view& text) {
    std::size_t digits = 0;
    int value = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
        value = value * 10 + (text[digits] - '0');
        ++digits;
    }
    if (digits == 0 || digits > 2) return std::nullopt;
    text.remove_prefix(digits);
    return value;
}

}  // namespace

std::optional<FirmwareVersion> FirmwareVersion::Parse(std::string_view text) {
    FirmwareVersion version;
    int* parts[] = {&version.major, &version.minor, &version.patch};
    for (std::size_t i = 0; i < 3; ++i) {
        if (i > 0) {
            if (text.empty() || text.front() != '.') return std::nullopt;
            text.remove_prefix(1);
        }
        const auto part = TakePart(text);
        if (!part) return std::nullopt;
        *parts[i] = *part;
    }
    if (!text.empty()) return std::nullopt;
    return version;
}

std::string FirmwareVersion::Text() const {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d.%02d.%02d", major, minor, patch);
    return buffer;
}

}  // namespace tessel::devsim
