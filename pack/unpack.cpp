#include "pack/unpack.h"

#include <functional>
#include <map>
#include <optional>

#include "dialog/cp932.h"
#include "dialog/local_file.h"
#include "pack/device_path.h"
#include "pack/local_names.h"
#include "pack/output_folder.h"
#include "pack/package_check.h"
#include "pack/package_summary.h"
#include "procedures/package_files.h"

namespace tessel::pack {
namespace {

// Where each file goes on the device and its bytes, read when it is written.
struct Placement {
    std::string devicePath;
    std::function<std::optional<std::string>()> bytes;
    // A listed file must be there; a plain or firmware file the package does not carry is not on the device
    // either.
    bool required = false;
};

}  // namespace

PackOutcome UnpackPackage(const std::string& packageDirectory, const std::string& outputFolder) {
    PackOutcome outcome;
    outcome.findings = CheckPackage(packageDirectory, PackageScope::Whole);
    if (HasErrors(outcome.findings)) return outcome;
    std::vector<UpdateFileEntry> entries;
    std::uint8_t key = 0;
    ManagementFileFault fault;
    if (ReadUpdateFileList(packageDirectory, entries, key, &fault) != 0) {
        outcome.errors.push_back(std::string(kUpdateManagementFileName) + ": " + fault.reason);
        return outcome;
    }
    // The device keeps the last file sent to a path.
    std::map<std::string, Placement> placements;
    auto place = [&placements](const std::string& devicePath, std::function<std::optional<std::string>()> bytes,
                               bool required) {
        placements[CaseFoldKey(devicePath)] = {devicePath, std::move(bytes), required};
    };
    for (const UpdateFileEntry& entry : entries) {
        place(
            entry.devicePath, [&, entry] { return PlainBytes(packageDirectory, entry, key); }, true);
    }
    const auto packageFile = [&packageDirectory](std::string_view name) {
        return [&packageDirectory, name] { return ReadFileBytes(PackagePath(packageDirectory, name)); };
    };
    for (const auto& [name, devicePath] :
         {std::pair{kVersionTextFile, kVersionTextDevicePath}, std::pair{kSpacerImageFile, kSpacerImageDevicePath}}) {
        if (!IsLinkOrSpecialFile(PackagePath(packageDirectory, name)))
            place(std::string(devicePath), packageFile(name), false);
    }
    for (const std::string_view name : {kFirmwareImageFile, kFirmwareDataFile, kVersionScriptFile}) {
        if (!IsLinkOrSpecialFile(PackagePath(packageDirectory, name))) {
            place("B:\\" + std::string(name), packageFile(name), false);
        }
    }

    std::string error;
    std::optional<OutputFolder> folder = OutputFolder::Open(outputFolder, error);
    if (!folder) {
        outcome.errors.push_back(error);
        return outcome;
    }
    for (const auto& [ignored, placement] : placements) {
        const std::optional<std::string> bytes = placement.bytes();
        if (!bytes && !placement.required) continue;
        if (!bytes || !folder->write(LocalNames(DevicePathNames(placement.devicePath)), *bytes)) {
            outcome.errors.push_back("cannot write the file for " + Cp932ToUtf8(placement.devicePath) + " in " +
                                     outputFolder);
            folder->discard();
            return outcome;
        }
    }
    outcome.done = true;
    return outcome;
}

}  // namespace tessel::pack
