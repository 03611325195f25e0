#include "devsim/device_file_system.h"

#include <cctype>
#include <fstream>
#include <string>

namespace tessel::devsim {

namespace {

constexpr std::string_view kWorkingDrive = "C:";

constexpr std::string_view kLockOffScript = "Function main()\n{\nprint(\"lock off\");\n}";
constexpr std::string_view kStartupScript = "Function main()\n{\nprint(\"device started\");\n}";

void WriteIfMissing(const std::filesystem::path& file, std::string_view text) {
    if (std::filesystem::exists(file)) return;
    std::ofstream(file, std::ios::binary) << text;
}

}  // namespace

DeviceFileSystem::DeviceFileSystem(std::filesystem::path root) : root_(std::move(root)) {}

void DeviceFileSystem::CreateLayout() const {
    const auto system = root_ / "C:" / "system";
    const bool freshSystem = !std::filesystem::exists(system);
    std::filesystem::create_directories(root_ / "B:");
    std::filesystem::create_directories(root_ / "C:" / "www" / "control");
    std::filesystem::create_directories(system);
    WriteIfMissing(root_ / "C:" / "www" / "lockoff.wcr", kLockOffScript);
    if (freshSystem) WriteIfMissing(system / "autoscript.wcr", kStartupScript);
}

std::optional<std::filesystem::path> DeviceFileSystem::HostPath(std::string_view devicePath) const {
    std::filesystem::path host = root_;
    if (devicePath.size() >= 2 && devicePath[1] == ':' && std::isalpha(static_cast<unsigned char>(devicePath[0]))) {
        const char drive[] = {static_cast<char>(std::toupper(static_cast<unsigned char>(devicePath[0]))), ':', '\0'};
        host /= drive;
        devicePath.remove_prefix(2);
    } else {
        host /= std::string(kWorkingDrive);
    }
    while (!devicePath.empty()) {
        const auto end = devicePath.find_first_of("\\/");
        const auto part = devicePath.substr(0, end);
        devicePath.remove_prefix(end == std::string_view::npos ? devicePath.size() : end + 1);
        if (part.empty() || part == ".") continue;
        if (part == "..") return std::nullopt;
        host /= std::string(part);
    }
    return host;
}

}  // namespace tessel::devsim
