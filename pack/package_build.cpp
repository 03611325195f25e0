#include "pack/package_build.h"

#include <filesystem>

#include "dialog/local_file.h"
#include "dialog/update_management_file.h"
#include "pack/output_folder.h"
#include "pack/package_check.h"

namespace tessel::pack {

PackOutcome BuildPackage(const std::string& manifestPath, const std::string& outputFolder) {
    PackOutcome outcome;
    const std::optional<std::string> text = ReadFileBytes(manifestPath, kMaxManifestBytes);
    if (!text) {
        outcome.errors.push_back(manifestPath +
                                 " cannot be read: missing, a link, not a regular file, or larger than 1 MiB");
        return outcome;
    }
    const ParsedManifest parsed = ParseManifest(*text, manifestPath);
    if (!parsed.manifest) {
        outcome.errors.push_back(manifestPath + ": " + parsed.error);
        return outcome;
    }
    std::string sourceFolder = std::filesystem::path(manifestPath).parent_path().string();
    if (sourceFolder.empty()) sourceFolder = ".";
    ComposedPackage package = ComposePackage(*parsed.manifest, sourceFolder);
    if (!package.errors.empty()) {
        outcome.errors = std::move(package.errors);
        return outcome;
    }
    std::string error;
    std::optional<OutputFolder> folder = OutputFolder::Open(outputFolder, error);
    if (!folder) {
        outcome.errors.push_back(error);
        return outcome;
    }
    for (const PackageFile& file : package.files) {
        if (!folder->write({file.name}, file.bytes)) {
            outcome.errors.push_back("cannot write " + PackagePath(outputFolder, file.name));
            folder->discard();
            return outcome;
        }
    }
    outcome.findings = CheckPackage(outputFolder, PackageScope::Whole);
    if (HasErrors(outcome.findings)) {
        folder->discard();
        return outcome;
    }
    outcome.done = true;
    return outcome;
}

}  // namespace tessel::pack
