#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace tessel::devsim {

// The device's drives as folders of one host folder: "B:\kbteva.bin" is <root>/B:/kbteva.bin, the layout the FTP
// service sees too. Names are byte strings, case-sensitive.
class DeviceFileSystem {
public:
    explicit DeviceFileSystem(std::filesystem::path root);

    // Creates what a fresh device has: B:, C:\www\control, C:\www\lockoff.wcr and, when C:\system is new,
    // C:\system with a start-up script autoscript.wcr. Existing files are left alone.
    void CreateLayout() const;

    // The host path of a device path; a path without a drive is taken from the console's working folder C:\.
    // nullopt for a path that would leave the device (".." parts).
    std::optional<std::filesystem::path> HostPath(std::string_view devicePath) const;

    const std::filesystem::path& Root() const { return root_; }

private:
    std::filesystem::path root_;
};

}  // namespace tessel::devsim
