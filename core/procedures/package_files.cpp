#include "procedures/package_files.h"

#include "dialog/cp932.h"
#include "dialog/local_file.h"
#include "dialog/operator_texts.h"
#include "dialog/tessel_dlg.h"

namespace tessel {

std::string CTesselDlg::PackageFilePath(std::string_view fileName) const {
    return PackagePath(packageDirectory_, fileName);
}

std::optional<std::string> CTesselDlg::CheckedPackageFilePath(std::string_view fileName) {
    std::string path = PackageFilePath(fileName);
    if (path.size() <= kMaxPathBytes) return path;
    const std::string message = texts::PathTooLong(DisplayPath(path));
    ReportStartFailure(message, message);
    return std::nullopt;
}

std::optional<std::string> CTesselDlg::CheckedWorkFilePath(std::string_view fileName) {
    if (std::optional<std::string> path = workFolder_.fileFor(fileName)) return path;
    const std::string message = texts::CannotCreate(WorkFolder::parent());
    ReportStartFailure(message, message);
    return std::nullopt;
}

std::string CTesselDlg::DisplayPath(std::string_view path) const {
    for (const std::string_view folder :
         {std::string_view(programDirectory_), std::string_view(packageDirectory_),
          std::string_view(workFolder_.existingPath())}) {
        if (!folder.empty() && path.starts_with(folder)) {
            return std::string(folder) + Cp932ToUtf8(path.substr(folder.size()));
        }
    }
    return Cp932ToUtf8(path);
}

int CTesselDlg::UploadToDevice(const std::string& localPath, const std::string& remotePath) {
    // A link or a device file must not lead the upload outside the package, and a FIFO would block it for
    // good: such a file counts as one that cannot be opened. A missing one is the library's to report.
    if (IsLinkOrSpecialFile(localPath)) {
        outcome_.detail = "not a regular file that can be read: " + DisplayPath(localPath);
        return kUploadLocalFileError;
    }
    UploadRequest request;
    request.host = address_;
    request.user = loginId_;
    request.password = password_;
    request.port = ftpPort_;
    request.transferMode = 1;
    request.localPath = localPath;
    request.remotePath = remotePath;
    request.passive = 1;
    request.codeConversion = 0;
    const int result = uploader_.sendFile(request);
    if (result != kUploadOk) outcome_.detail = "file: " + DisplayPath(localPath);
    return result;
}

}  // namespace tessel
