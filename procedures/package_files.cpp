#include "procedures/package_files.h"

#include <filesystem>
#include <system_error>

#include "app/cp932.h"
#include "app/tessel_dlg.h"

namespace tessel {
namespace {

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    if (a.lexically_normal() == b.lexically_normal()) return true;
    // Existing files may be the same under different spellings (links, letter case on some file systems).
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

}  // namespace

std::string CTesselDlg::PackageFilePath(std::string_view fileName) const {
    return PackagePath(programDirectory_, fileName);
}

std::optional<std::string> CTesselDlg::CheckedPackageFilePath(std::string_view fileName) {
    std::string path = PackageFilePath(fileName);
    if (path.size() <= kMaxPathBytes) return path;
    const std::string message = "ファイルパス文字数オーバー(" + DisplayPath(path) + ")";
    ReportStartFailure(message, message);
    return std::nullopt;
}

std::string CTesselDlg::DisplayPath(std::string_view path) const {
    if (!path.starts_with(programDirectory_)) return Cp932ToUtf8(path);
    return programDirectory_ + Cp932ToUtf8(path.substr(programDirectory_.size()));
}

// The files the operator shipped: a plain copy must never be written over one of them.
bool CTesselDlg::NamesUpdateFile(const std::string& path) const {
    const std::filesystem::path candidate(path);
    if (SameFile(candidate, PackageFilePath(kUpdateManagementFileName))) return true;
    for (const std::string_view name : kFixedPackageFiles) {
        if (SameFile(candidate, PackageFilePath(name))) return true;
    }
    for (const UpdateFileEntry& entry : updateFiles_) {
        if (SameFile(candidate, PackageFilePath(entry.scrambledName))) return true;
    }
    return false;
}

int CTesselDlg::UploadToDevice(const std::string& localPath, const std::string& remotePath) {
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
    return uploader_.sendFile(request);
}

}  // namespace tessel
