#include "pack/verified_package.h"

#include "platform/os/files.h"
#include "platform/os/folders.h"

namespace tessel::pack {

VerifiedPackage::VerifiedPackage(const std::string& packageDirectory, const TrustedKeys& trusted, PackageScope scope) {
    const std::optional<std::string> folder = os::MakePrivateFolder();
    if (!folder) {
        check_.refusal = PackageRefusal::CopyFailed;
        check_.subject = os::TemporaryFolder();
        check_.failure = "no private folder can be made in " + os::TemporaryFolder() + " for the checked files";
        return;
    }
    folder_ = *folder;
    const CheckedFileSink copy = [this](const StatementFile& file, const std::string& bytes) {
        return os::WriteNewFile(os::JoinPath(folder_, file.name), bytes);
    };
    check_ = CheckPackageSignature(packageDirectory, trusted, scope, copy, folder_);
    if (!check_.verified) {
        os::RemoveFolderTree(folder_);
        folder_.clear();
    }
}

VerifiedPackage::~VerifiedPackage() {
    if (!folder_.empty()) os::RemoveFolderTree(folder_);
}

}  // namespace tessel::pack
