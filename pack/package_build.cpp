#include "pack/package_build.h"

#include <filesystem>

#include "dialog/local_file.h"
#include "dialog/update_management_file.h"
#include "pack/output_folder.h"
#include "pack/package_check.h"
#include "pack/source_file.h"

namespace tessel::pack {
namespace {

constexpr std::size_t kCopyPiece = 64 * 1024;

// Writes one file of the package: the bytes the builder made, or its source copied piece by piece.
bool WriteFile(OutputFolder& folder, const std::string& sourceFolder, const PackageFile& file) {
    if (!file.source) return folder.write({file.name}, file.bytes);
    std::optional<SourceFile> source = SourceFile::Open(sourceFolder, file.source->relative, file.source->maxBytes);
    if (!source) return false;
    return folder.writeWith({file.name}, [&](OutputFolder::File& out) {
        std::string piece;
        do {
            if (!source->read(piece, kCopyPiece)) return false;
            for (char& byte : piece) byte = static_cast<char>(static_cast<unsigned char>(byte) ^ file.source->key);
        } while (out.append(piece) && !piece.empty());
        return true;
    });
}

}  // namespace

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
        if (!WriteFile(*folder, sourceFolder, file)) {
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
