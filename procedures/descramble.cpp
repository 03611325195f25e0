#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <system_error>

#include "app/tessel_dlg.h"

namespace tessel {
namespace {

std::string CannotCreateMessage(std::string_view displayPath) {
    return "送信先ファイル作成エラー(" + std::string(displayPath) + ")";
}

}  // namespace

int CTesselDlg::DescrambleUpdateFiles() {
    // Every entry is checked before the first copy is written: a plain copy over a file of the update would
    // destroy what the operator shipped when the copy is deleted after its upload, and two entries with one
    // plain copy would send the second entry's bytes to the first entry's place on the device.
    std::set<std::string> plainCopies;
    for (const UpdateFileEntry& entry : updateFiles_) {
        const std::string destination = PackageFilePath(entry.plainName);
        const bool taken = !plainCopies.insert(std::filesystem::path(destination).lexically_normal().string()).second;
        if (taken || NamesUpdateFile(destination)) {
            ShowMessage(CannotCreateMessage(DisplayPath(destination)), MessageIcon::Warning);
            return 0;
        }
    }
    for (const UpdateFileEntry& entry : updateFiles_) {
        if (DescrambleFile(PackageFilePath(entry.scrambledName), PackageFilePath(entry.plainName)) == 0)
            return 0;
    }
    return 1;
}

int CTesselDlg::DescrambleFile(const std::string& sourcePath, const std::string& destinationPath) {
    std::ifstream source(sourcePath, std::ios::binary);
    std::error_code error;
    if (!source || std::filesystem::is_directory(sourcePath, error)) {
        ShowMessage("送信元ファイル異常(" + DisplayPath(sourcePath) + ")", MessageIcon::Warning);
        return 0;
    }
    std::ofstream destination(destinationPath, std::ios::binary | std::ios::trunc);
    if (!destination) {
        ShowMessage(CannotCreateMessage(DisplayPath(destinationPath)), MessageIcon::Warning);
        return 0;
    }
    std::string bytes{std::istreambuf_iterator<char>(source), std::istreambuf_iterator<char>()};
    for (char& byte : bytes) byte = static_cast<char>(static_cast<unsigned char>(byte) ^ scrambleKey_);
    destination.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    destination.close();
    // A copy cut short (a full disk) would be uploaded as if it were whole.
    if (source.bad() || !destination) {
        ShowMessage(CannotCreateMessage(DisplayPath(destinationPath)), MessageIcon::Warning);
        return 0;
    }
    return 1;
}

// Every entry's plain copy, made or not; never a file of the update, never a folder.
void CTesselDlg::DeletePlainCopies() {
    for (const UpdateFileEntry& entry : updateFiles_) {
        const std::string path = PackageFilePath(entry.plainName);
        std::error_code error;
        if (NamesUpdateFile(path) || std::filesystem::is_directory(path, error)) continue;
        std::filesystem::remove(path, error);
    }
}

}  // namespace tessel
