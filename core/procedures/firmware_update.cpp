#include <chrono>
#include <cstdio>
#include <string>

#include "console/device_commands.h"
#include "dialog/operator_texts.h"
#include "dialog/tessel_dlg.h"
#include "procedures/firmware_version.h"
#include "procedures/package_files.h"
#include "procedures/reply_limits.h"

namespace tessel {

using namespace std::chrono_literals;

namespace {

struct FirmwareFile {
    std::string_view name;
    std::string_view remotePath;
    std::string_view failurePrefix;
};

// Uploaded in this order.
constexpr FirmwareFile kFirmwareFiles[] = {
    {kFirmwareImageFile, "B:\\kbteva.bin", texts::kFirmwareUploadError},
    {kFirmwareDataFile, "B:\\prism3.dat", texts::kFirmwareDataUploadError},
    {kVersionScriptFile, "B:\\GetSysVer.wcr", texts::kVersionScriptUploadError},
};

// Versions below 1.07.00 need the whole update twice.
constexpr std::int32_t kSinglePassVersion = 10700;
constexpr std::int32_t kExpansionEventLimit = 100;

}  // namespace

void CTesselDlg::StartFirmwareUpdate() {
    outcome_.firmwarePasses += 1;
    step_ = kStepStart;
    pollCounter_ = 0;
    std::string localPaths[std::size(kFirmwareFiles)];
    for (std::size_t i = 0; i < std::size(kFirmwareFiles); ++i) {
        const std::optional<std::string> path = CheckedPackageFilePath(kFirmwareFiles[i].name);
        if (!path) return;
        localPaths[i] = *path;
    }
    SetStatus(texts::kFirmwareTransferStatus);
    // The uploads block the window until they end.
    host_.repaint();
    for (std::size_t i = 0; i < std::size(kFirmwareFiles); ++i) {
        const int result = UploadToDevice(localPaths[i], std::string(kFirmwareFiles[i].remotePath));
        if (result != 0) {
            const std::string message = texts::UploadFailureMessage(kFirmwareFiles[i].failurePrefix, result);
            ReportStartFailure(message, message);
            return;
        }
    }
    step_ = kStepStart;
    OpenConsole();
}

void CTesselDlg::FirmwareStepRunGetSysVer() {
    if (CheckLogin() != LoginCheck::Accepted) return;
    step_ = kStepVersionScriptSent;
    StopWatchdog();
    if (firmwarePass_ == 0) SetStatus(texts::kVersionCheckStatus);
    SendStepCommand(device::kRunVersionScript, texts::kVersionScriptSendError);
}

void CTesselDlg::FirmwareStepCheckVersion() {
    if (!ScanReply({"value"})) {
        CountPolledEvent(kReplyEventLimit, texts::kVersionReplyError);
        return;
    }
    RecordFirmwareVersion();
    // The second pass keeps what the first pass found.
    if (firmwarePass_ == 0) {
        const std::optional<std::int32_t> version = ReadFirmwareVersion(receiveBuffer_);
        if (!version) {
            ReportError(texts::kVersionError);
            return;
        }
        secondPass_ = *version < kSinglePassVersion ? 1 : 0;
    }
    step_ = kStepSysupSent;
    StopWatchdog();
    SetStatus(texts::kExpansionStartStatus);
    SendStepCommand(device::kSysup, texts::kSysupSendError);
}

void CTesselDlg::FirmwareStepConfirmSysup() {
    if (!ScanReply({"[y/n]"})) {
        CountPolledEvent(kReplyEventLimit, texts::kSysupReplyError);
        return;
    }
    step_ = kStepSysupConfirmed;
    StopWatchdog();
    SendStepCommand(device::kConfirm, texts::kSysupConfirmSendError);
}

void CTesselDlg::FirmwareStepWaitExpansion() {
    const std::optional<std::size_t> seen = ScanReply({device::kReturnedZero, device::kError});
    if (seen == 0u) {
        step_ = kStepFirmwareRebootSent;
        StopWatchdog();
        SendCommandOrReport(device::kReboot, texts::kRebootSendError);
        Pause(10ms);
        return;
    }
    if (seen == 1u) {
        ReportError(texts::kUpdateCheckError);
        return;
    }
    if (!CountPolledEvent(kExpansionEventLimit, texts::kExpansionReplyError)) return;
    SetStatus(texts::ExpansionStatus(static_cast<int>(pollCounter_)));
}

void CTesselDlg::SendReboot() {
    SendCommandOrReport(device::kReboot, texts::kRebootSendError);
    Pause(100ms);
}

}  // namespace tessel
