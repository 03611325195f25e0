#include "pack/signed_files.h"

#include <algorithm>

#include "dialog/update_management_file.h"
#include "pack/file_probe.h"
#include "procedures/package_files.h"

namespace tessel::pack {
namespace {

bool Holds(const std::string& folder, std::string_view name) {
    return ProbeFile(PackagePath(folder, name), kMaxSignedFileBytes).state != FileState::Missing;
}

void Add(std::vector<std::string>& names, std::string_view name) {
    if (std::find(names.begin(), names.end(), name) == names.end()) names.emplace_back(name);
}

}  // namespace

std::vector<std::string> FilesReadByUpdate(const std::string& folder, PackageScope scope, std::string& error) {
    std::vector<std::string> names;
    const bool holdsManagementFile = Holds(folder, kUpdateManagementFileName);
    if (scope != PackageScope::Firmware && (scope == PackageScope::Script || holdsManagementFile)) {
        std::vector<UpdateFileEntry> entries;
        std::uint8_t key = 0;
        ManagementFileFault fault;
        if (ReadUpdateFileList(folder, entries, key, &fault) != 0) {
            error = std::string(kUpdateManagementFileName) + ": " + (fault.reason.empty() ? "cannot be read" : fault.reason);
            return {};
        }
        Add(names, kUpdateManagementFileName);
        for (const UpdateFileEntry& entry : entries) Add(names, entry.scrambledName);
        Add(names, kVersionTextFile);
        Add(names, kSpacerImageFile);
    } else if (holdsManagementFile) {
        Add(names, kUpdateManagementFileName);
    }
    if (scope == PackageScope::Script) return names;
    for (const std::string_view name : {kFirmwareImageFile, kFirmwareDataFile, kVersionScriptFile}) {
        if (scope == PackageScope::Firmware || Holds(folder, name)) Add(names, name);
    }
    return names;
}

}  // namespace tessel::pack
