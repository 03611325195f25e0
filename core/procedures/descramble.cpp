#include <cstdio>

#include "dialog/local_file.h"
#include "dialog/operator_texts.h"
#include "dialog/tessel_dlg.h"
#include "procedures/package_files.h"

namespace tessel {

int CTesselDlg::DescrambleUpdateFiles() {
    plainCopies_.clear();
    if (updateFiles_.empty()) return 1;
    if (!workFolder_.path()) {
        ShowMessage(texts::CannotCreate(WorkFolder::parent()), MessageIcon::Warning);
        return 0;
    }
    // Each copy is a new file of the work folder: two entries with one plain name fail at the second copy,
    // before anything is sent.
    for (const UpdateFileEntry& entry : updateFiles_) {
        const std::string destination = *workFolder_.fileFor(entry.plainName);
        if (DescrambleFile(PackageFilePath(entry.scrambledName), destination) == 0) return 0;
        plainCopies_.push_back(destination);
    }
    return 1;
}

int CTesselDlg::DescrambleFile(const std::string& sourcePath, const std::string& destinationPath) {
    std::optional<std::string> bytes = ReadFileBytes(sourcePath);
    if (!bytes) {
        outcome_.detail =
            "cannot read " + DisplayPath(sourcePath) + ": missing, a link, not a regular file, or larger than 64 MiB";
        ShowMessage(texts::SourceFileError(DisplayPath(sourcePath)), MessageIcon::Warning);
        return 0;
    }
    for (char& byte : *bytes) byte = static_cast<char>(static_cast<unsigned char>(byte) ^ scrambleKey_);
    if (!WriteNewFile(destinationPath, *bytes)) {
        ShowMessage(texts::CannotCreate(DisplayPath(destinationPath)), MessageIcon::Warning);
        return 0;
    }
    return 1;
}

void CTesselDlg::DeletePlainCopies() {
    for (const std::string& path : plainCopies_) std::remove(path.c_str());
    plainCopies_.clear();
}

}  // namespace tessel
