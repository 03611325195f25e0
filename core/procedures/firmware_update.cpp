#include <chrono>
#include <cstdio>
#include <string>

#include "dialog/tessel_dlg.h"
#include "procedures/firmware_version.h"
#include "procedures/package_files.h"
#include "procedures/upload_failure_message.h"

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
    {kFirmwareImageFile, "B:\\kbteva.bin", "FTP送信エラー"},
    {kFirmwareDataFile, "B:\\prism3.dat", "FTP送信エラー[dat]"},
    {kVersionScriptFile, "B:\\GetSysVer.wcr", "FTP送信エラー[GetSysVer]"},
};

// Versions below 1.07.00 need the whole update twice.
constexpr std::int32_t kSinglePassVersion = 10700;
constexpr std::int32_t kReplyEventLimit = 50;
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
    SetStatus("ファーム転送中");
    // The uploads block the window until they end.
    host_.repaint();
    for (std::size_t i = 0; i < std::size(kFirmwareFiles); ++i) {
        const int result = UploadToDevice(localPaths[i], std::string(kFirmwareFiles[i].remotePath));
        if (result != 0) {
            const std::string message = UploadFailureMessage(kFirmwareFiles[i].failurePrefix, result);
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
    if (firmwarePass_ == 0) SetStatus("ファームバージョン確認中");
    SendStepCommand("exec \"B:\\GetSysVer.wcr\"\r", "GetSysVer 送信 Error!!");
}

void CTesselDlg::FirmwareStepCheckVersion() {
    if (!ScanReply({"value"})) {
        CountPolledEvent(kReplyEventLimit, "getsysver ack Error !!");
        return;
    }
    RecordFirmwareVersion();
    // The second pass keeps what the first pass found.
    if (firmwarePass_ == 0) {
        const std::optional<std::int32_t> version = ReadFirmwareVersion(receiveBuffer_);
        if (!version) {
            ReportError("getsysver Version Error !!");
            return;
        }
        secondPass_ = *version < kSinglePassVersion ? 1 : 0;
    }
    step_ = kStepSysupSent;
    StopWatchdog();
    SetStatus("ファームの展開を開始");
    SendStepCommand("sysup \"B:\\kbteva.bin\"\r", "sysup 送信 Error!!");
}

void CTesselDlg::FirmwareStepConfirmSysup() {
    if (!ScanReply({"[y/n]"})) {
        CountPolledEvent(kReplyEventLimit, "sysup ack Error1 !!");
        return;
    }
    step_ = kStepSysupConfirmed;
    StopWatchdog();
    SendStepCommand("y\r", "sysup1 送信 Error!!");
}

void CTesselDlg::FirmwareStepWaitExpansion() {
    const std::optional<std::size_t> seen = ScanReply({"value = 0x0 = 0", "error"});
    if (seen == 0u) {
        step_ = kStepFirmwareRebootSent;
        StopWatchdog();
        SendCommandOrReport("reboot\r", "reboot 送信 Error!!");
        Pause(10ms);
        return;
    }
    if (seen == 1u) {
        ReportError("Update Check Error!!");
        return;
    }
    if (!CountPolledEvent(kExpansionEventLimit, "sysup ack Error2 !!")) return;
    char status[32];
    std::snprintf(status, sizeof status, "展開中(%d)", static_cast<int>(pollCounter_));
    SetStatus(status);
}

void CTesselDlg::SendReboot() {
    SendCommandOrReport("reboot\r", "reboot 送信 Error!!");
    Pause(100ms);
}

}  // namespace tessel
