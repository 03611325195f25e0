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

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// True when destination holds something other than the plain form of source: a file the operator keeps
// beside the update, which a plain copy would overwrite and then delete. A plain copy left by an earlier,
// interrupted transfer holds exactly those bytes and may be written again.
bool HoldsOtherBytes(const std::string& destination, const std::string& source, std::uint8_t key) {
    std::error_code error;
    if (!std::filesystem::exists(destination, error)) return false;
    if (!std::filesystem::is_regular_file(destination, error)) return true;
    // A missing source is reported when its copy is made.
    if (!std::filesystem::is_regular_file(source, error)) return false;
    std::string plain = ReadBytes(source);
    for (char& byte : plain) byte = static_cast<char>(static_cast<unsigned char>(byte) ^ key);
    return plain != ReadBytes(destination);
}

}  // namespace

int CTesselDlg::DescrambleUpdateFiles() {
    // Every entry is checked before the first copy is written: a plain copy over a file of the update would
    // destroy what the operator shipped when the copy is deleted after its upload, and two entries with one
    // plain copy would send the second entry's bytes to the first entry's place on the device.
    plainCopies_.clear();
    std::set<std::string> destinations;
    for (const UpdateFileEntry& entry : updateFiles_) {
        const std::string destination = PackageFilePath(entry.plainName);
        const bool taken = !destinations.insert(std::filesystem::path(destination).lexically_normal().string()).second;
        if (taken || NamesUpdateFile(destination) ||
            HoldsOtherBytes(destination, PackageFilePath(entry.scrambledName), scrambleKey_)) {
            ShowMessage(CannotCreateMessage(DisplayPath(destination)), MessageIcon::Warning);
            return 0;
        }
    }
    for (const UpdateFileEntry& entry : updateFiles_) {
        const std::string destination = PackageFilePath(entry.plainName);
        // Counted before it is written: a copy that fails half way is removed too.
        plainCopies_.push_back(destination);
        if (DescrambleFile(PackageFilePath(entry.scrambledName), destination) == 0) return 0;
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

// The plain copies this transfer has written, and only those: a file of that name that was there before
// belongs to the operator.
void CTesselDlg::DeletePlainCopies() {
    for (const std::string& path : plainCopies_) {
        std::error_code error;
        if (std::filesystem::is_directory(path, error)) continue;
        std::filesystem::remove(path, error);
    }
    plainCopies_.clear();
}

}  // namespace tessel
