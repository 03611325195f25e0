#include <optional>
#include <string>

#include "dialog/operator_texts.h"
#include "dialog/tessel_dlg.h"
#include "procedures/firmware_version.h"
#include "procedures/package_files.h"
#include "procedures/reply_limits.h"

namespace tessel {

// The version query of the firmware update and nothing after it: the package's version script goes to the
// device, runs there, and its reply is read as the update reads it.
void CTesselDlg::StartVersionQuery() {
    step_ = kStepStart;
    const std::optional<std::string> path = CheckedPackageFilePath(kVersionScriptFile);
    if (!path) return;
    SetStatus(texts::kVersionCheckStatus);
    host_.repaint();
    const int result = UploadToDevice(*path, "B:\\GetSysVer.wcr");
    if (result != 0) {
        const std::string message = texts::UploadFailureMessage(texts::kVersionScriptUploadError, result);
        ReportStartFailure(message, message);
        return;
    }
    OpenConsole();
}

void CTesselDlg::VersionQueryStepRead() {
    if (!ScanReply({"value"})) {
        CountPolledEvent(kReplyEventLimit, texts::kVersionReplyError);
        return;
    }
    StopWatchdog();
    // The query reports only a version the device's script returned, never the update's stand-in.
    if (!HoldsVersionReply(receiveBuffer_)) {
        ReportError(texts::kVersionError);
        return;
    }
    RecordFirmwareVersion();
    if (!ReadFirmwareVersion(receiveBuffer_)) {
        ReportError(texts::kVersionError);
        return;
    }
    CloseConsole();
    step_ = kStepStopped;
    outcome_.succeeded = true;
    EnableUpdateButtons();
    ClearDetail();
    SetStatus(texts::kVersionReadStatus);
}

}  // namespace tessel
