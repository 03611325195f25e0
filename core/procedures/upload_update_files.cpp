#include <cstdio>

#include "dialog/operator_texts.h"
#include "dialog/tessel_dlg.h"
#include "platform/os/files.h"
#include "procedures/package_files.h"
#include "procedures/work_folder.h"

namespace tessel {

int CTesselDlg::UploadUpdateFiles() {
    const std::size_t count = updateFiles_.size();
    for (std::size_t i = 0; i < count; ++i) {
        // Keeps the window alive; console events that come now wait until the transfer has ended.
        events_.dispatchPendingEvents();
        SetStatus(texts::FtpTransferProgress(i, count));
        const std::string& localPath = plainCopies_[i];
        const int result = UploadToDevice(localPath, updateFiles_[i].devicePath);
        os::RemoveFile(localPath);
        if (result != 0) {
            const std::string message = texts::ScriptUploadError(result, DisplayPath(localPath));
            ShowMessage(message, MessageIcon::Warning);
            SetStatus(message);
            step_ = kStepStopped;
            return -1;
        }
    }
    // Offered to the device as they are; their results do not count. The full path names the package's
    // copy also when the package does not lie beside the program.
    UploadToDevice(PackageFilePath(kVersionTextFile), std::string(kVersionTextDevicePath));
    UploadToDevice(PackageFilePath(kSpacerImageFile), std::string(kSpacerImageDevicePath));
    return 0;
}

}  // namespace tessel
