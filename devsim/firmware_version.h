#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tessel::devsim {

// A firmware version major.minor.patch, each part 0 to 99 (the updater reads it as major*10000+minor*100+patch).
struct FirmwareVersion {
    int major = 0;
    int minor = 0;
    int patch = 0;

    // Reads "d.d.d" (for example "1.7.2" or "01.07.02"); nullopt for anything else.
    static std::optional<FirmwareVersion> Parse(std::string_view text);
    // Two digits per part, "01.07.02": the form the version query prints.
    std::string Text() const;

    friend bool operator==(const FirmwareVersion&, const FirmwareVersion&) = default;
};

}  // namespace tessel::devsim
