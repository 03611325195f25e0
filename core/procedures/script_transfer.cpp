#include <chrono>

#include "dialog/tessel_dlg.h"
#include "console/console_socket.h"

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
    SetStatus("ロックOFF");
    ClearReceiveBuffer();
    SendCommandOrReport("exec \"C:\\www\\lockoff.wcr\"\r", "LockOff 送信 Error!!");
    pollCounter_ = 0;
    Pause(100ms);
    ArmWatchdog();
}

void CTesselDlg::ScriptStepMakeFolder() {
    if (ScanReply({"value = 0x0 = 0"})) {
        step_ = kStepFolderCommandSent;
        SetStatus("MKDIR");
        StopWatchdog();
        SendCommandOrReport("mkdir \"AutoGetDt\"\r", "フォルダ作成 送信 Error!!");
        pollCounter_ = 0;
        Pause(2000ms);
        ArmWatchdog();
        return;
    }
    if (!CountPolledEvent(kLockOffEventLimit, "Lock解除 Error!!")) FinishScriptFailure();
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
    if (ReadUpdateFileList(programDirectory_, updateFiles_, scrambleKey_) == -1) {
        ShowMessage("アップデート管理ファイル異常", MessageIcon::Warning);
        FinishScriptFailure();
        return false;
    }
    if (DescrambleUpdateFiles() == 0) {
        ShowMessage("アップデートファイル異常", MessageIcon::Warning);
        DeletePlainCopies();
        FinishScriptFailure();
        return false;
    }
    SetStatus("FTP転送中");
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
    SetStatus("スクリプト・アップデートできませんでした。");
    ClearDetail();
}

}  // namespace tessel
