#include "dialog/package_folder.h"

#include <filesystem>
#include <system_error>

#include "dialog/update_management_file.h"

namespace tessel {

std::string DefaultPackageFolder(std::string_view programDirectory, std::string_view currentDirectory) {
    std::error_code error;
    const std::filesystem::path beside = std::filesystem::path(programDirectory) / kUpdateManagementFileName;
    if (std::filesystem::exists(beside, error)) return std::string(programDirectory);
    return std::string(currentDirectory);
}

}  // namespace tessel
