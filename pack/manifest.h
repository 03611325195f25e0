// The manifest of an update package: a TOML file that says what the package holds. Texts are UTF-8 as the
// manifest gives them; source paths are relative to the manifest's folder.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessel::pack {

// The largest manifest read.
inline constexpr std::size_t kMaxManifestBytes = 1024 * 1024;

struct ManifestFirmware {
    std::string image;
    std::string data;
    std::string versionScript;
};

struct ManifestWebFile {
    std::string source;
    std::string devicePath;
    // Empty: the source's base name.
    std::string plainName;
    // Empty: a name the builder chooses.
    std::string scrambledName;
};

struct Manifest {
    std::string caption;
    std::string firmwareVersion;
    std::string scriptVersion;
    bool move = false;
    std::uint8_t key = 0;
    // Sources of VersionS.txt and spacer.gif; empty: made from the script version, a 1x1 image.
    std::string versionText;
    std::string spacerImage;
    std::optional<ManifestFirmware> firmware;
    std::vector<ManifestWebFile> webFiles;
};

struct ParsedManifest {
    std::optional<Manifest> manifest;
    // Why the manifest was refused, with its line where there is one.
    std::string error;
};

// sourceName names the manifest in the error.
ParsedManifest ParseManifest(std::string_view toml, const std::string& sourceName);

}  // namespace tessel::pack
