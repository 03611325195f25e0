#include <chrono>

#include "console/device_commands.h"
#include "dialog/operator_texts.h"
#include "dialog/tessel_dlg.h"
#include "procedures/package_files.h"

namespace tessel {

using namespace std::chrono_literals;

namespace {

constexpr std::int32_t kLockOffEventLimit = 30;

}  // namespace

int CTesselDlg::StartScriptTransfer() {
    mode_ = ScriptTransfer;
    scriptResult_ = 0;
    step_ = kStepStart;
    pollCounter_ = 0;
    if (OpenConsole()) return 0;
    FinishScriptFailure();
    return -3;
}

void CTesselDlg::ScriptStepLockOff() {
    if (CheckLogin() != LoginCheck::Accepted) return;
    step_ = kStepLockOffSent;
    StopWatchdog();
    SetStatus(texts::kLockOffStatus);
    ClearReceiveBuffer();
    SendCommandOrReport(device::kRunLockOff, texts::kLockOffSendError);
    pollCounter_ = 0;
    Pause(100ms);
    ArmWatchdog();
}

void CTesselDlg::ScriptStepMakeFolder() {
    if (ScanReply({device::kReturnedZero})) {
        step_ = kStepFolderCommandSent;
        SetStatus(texts::kMakeFolderStatus);
        StopWatchdog();
        SendCommandOrReport(device::kMakeDataFolder, texts::kMakeFolderSendError);
        pollCounter_ = 0;
        Pause(2000ms);
        ArmWatchdog();
        return;
    }
    if (!CountPolledEvent(kLockOffEventLimit, texts::kLockOffError)) FinishScriptFailure();
}

void CTesselDlg::ScriptStepTransfer() {
    StopWatchdog();
    step_ = kStepTransferDone;
    // Step 11 is already set, and the transfer lets pending events run: a console event now would restart
    // the device in the middle of the transfer.
    transferInProgress_ = true;
    consoleEventHeld_ = false;
    const bool transferred = TransferUpdateFiles();
    transferInProgress_ = false;
    if (!transferred) return;
    OnConsoleEvent();
    ReleaseHeldConsoleEvent();
}

// Runs with console events held back. False after a failure, which it has reported and ended.
bool CTesselDlg::TransferUpdateFiles() {
    ManagementFileFault fault;
    if (ReadUpdateFileList(packageDirectory_, updateFiles_, scrambleKey_, &fault) == -1) {
        outcome_.detail = DisplayPath(PackageFilePath(kUpdateManagementFileName)) +
                          (fault.line > 0 ? ", line " + std::to_string(fault.line) : std::string()) + ": " +
                          fault.reason;
        ShowMessage(texts::kManagementFileError, MessageIcon::Warning);
        FinishScriptFailure();
        return false;
    }
    if (DescrambleUpdateFiles() == 0) {
        ShowMessage(texts::kUpdateFileError, MessageIcon::Warning);
        DeletePlainCopies();
        FinishScriptFailure();
        return false;
    }
    SetStatus(texts::kFtpTransferStatus);
    host_.repaint();
    if (UploadUpdateFiles() == 0) return true;
    EnableUpdateButtons();
    ClearDetail();
    DeletePlainCopies();
    FinishScriptFailure();
    return false;
}

// An event held back during the transfer still counts when its connection is the one the controller
// continues on (the restart wait); one that came on a connection closed since has nothing left to say.
void CTesselDlg::ReleaseHeldConsoleEvent() {
    if (!consoleEventHeld_) return;
    consoleEventHeld_ = false;
    if (console_.generation() == heldEventConnection_ && consoleOpen()) OnConsoleEvent();
}

void CTesselDlg::FinishScriptFailure() {
    // The procedure is over: nothing more is expected on its connection.
    CloseConsole();
    if (moveFlag_ != 0) {
        StartAutoScript(AutoscriptRestore);
        EnableButtonsUnlessConnecting();
        return;
    }
    step_ = kStepStopped;
    EnableUpdateButtons();
    SetStatus(texts::kScriptFailedStatus);
    ClearDetail();
}

}  // namespace tessel
