#include "pack/verified_package.h"

#include "platform/os/files.h"
#include "platform/os/folders.h"

namespace tessel::pack {

VerifiedPackage::VerifiedPackage(const std::string& packageDirectory, const TrustedKeys& trusted, PackageScope scope)
    : held_(os::HeldFolder::Make()) {
    if (!held_) {
        check_.refusal = PackageRefusal::CopyFailed;
        check_.subject = os::TemporaryFolder();
        check_.failure = "no private folder can be made in " + os::TemporaryFolder() + " for the checked files";
        return;
    }
    const std::string& copyFolder = held_->path();
    const CheckedFileSink copy = [&copyFolder](const StatementFile& file, const std::string& bytes) {
        return os::WriteNewFile(os::JoinPath(copyFolder, file.name), bytes);
    };
    check_ = CheckPackageSignature(packageDirectory, trusted, scope, copy, copyFolder);
    if (check_.verified) {
        folder_ = copyFolder;
    } else {
        held_.reset();
    }
}

}  // namespace tessel::pack
