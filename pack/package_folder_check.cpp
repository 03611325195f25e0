#include "pack/package_folder_check.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <system_error>

#include "dialog/cp932.h"
#include "dialog/update_management_file.h"
#include "pack/file_probe.h"
#include "pack/package_statement.h"
#include "procedures/package_files.h"

namespace tessel::pack {
namespace {

// Far more than a package holds; a folder beyond it is not looked at further.
constexpr std::size_t kMaxFolderEntries = 10000;

constexpr std::string_view kFirmwareFiles[] = {kFirmwareImageFile, kFirmwareDataFile, kVersionScriptFile};

// The upload reads a firmware file whole, with no bound of its own.
constexpr std::uintmax_t kNoSizeBound = std::numeric_limits<std::uintmax_t>::max();

}  // namespace

void CheckFirmwareFiles(const std::string& packageDirectory, bool required, Findings& findings) {
    std::vector<FileProbe> probes;
    for (const std::string_view name : kFirmwareFiles) {
        probes.push_back(ProbeFile(PackagePath(packageDirectory, name), kNoSizeBound));
    }
    const bool none =
        std::all_of(probes.begin(), probes.end(), [](const FileProbe& p) { return p.state == FileState::Missing; });
    if (!required && none) return;
    for (std::size_t i = 0; i < probes.size(); ++i) {
        const std::string name(kFirmwareFiles[i]);
        if (PackagePath(packageDirectory, name).size() > kMaxPathBytes) {
            findings.error(name, 0, "its path is longer than " + std::to_string(kMaxPathBytes) + " bytes");
        } else if (probes[i].state != FileState::Readable) {
            findings.error(name, 0, "the firmware update needs it: " + FileStateText(probes[i].state, kNoSizeBound));
        }
    }
}

void CheckPlainFiles(const std::string& packageDirectory, Findings& findings) {
    for (const std::string_view name : {kVersionTextFile, kSpacerImageFile}) {
        const FileProbe probe = ProbeFile(PackagePath(packageDirectory, name), kNoSizeBound);
        if (probe.state != FileState::Readable) {
            findings.warning(std::string(name), 0,
                             FileStateText(probe.state, kNoSizeBound) + ": the script update goes on without it");
        }
    }
}

std::vector<std::string> PackageFolderNames(const std::string& packageDirectory, Findings& findings) {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(packageDirectory, error), end; !error && it != end;
         it.increment(error)) {
        if (names.size() == kMaxFolderEntries) {
            findings.warning(".", 0,
                             "the folder holds more than " + std::to_string(kMaxFolderEntries) +
                                 " entries: the others are not looked at");
            break;
        }
        names.push_back(it->path().filename().string());
    }
    return names;
}

std::set<std::string> UsedNames(const std::vector<ListedEntry>& entries) {
    std::set<std::string> used = {std::string(kUpdateManagementFileName), std::string(kSignatureFileName),
                                  std::string(kVersionTextFile), std::string(kSpacerImageFile)};
    for (const std::string_view name : kFirmwareFiles) used.emplace(name);
    for (const ListedEntry& entry : entries) used.insert(entry.fields.scrambledName);
    return used;
}

void CheckUnreferencedFiles(const std::vector<std::string>& folderNames, const std::set<std::string>& usedNames,
                            Findings& findings) {
    for (const std::string& name : folderNames) {
        if (usedNames.count(name) == 0) findings.warning(Cp932ToUtf8(name), 0, "the list does not reference it");
    }
}

}  // namespace tessel::pack
