#include "sim_dialog.h"

#include <algorithm>
#include <chrono>

namespace tessel::sim {

using namespace std::chrono_literals;

void SimDialog::pressFirmwareButton() {
    mode_ = AutoscriptMoveAside;
    step_ = 0;
    firmwarePass_ = 0;
    if (!ValidateInput()) return;
    mode_ = FirmwareUpdate;
    StartFirmwareUpdate();
}

void SimDialog::pressScriptButton() {
    mode_ = AutoscriptMoveAside;
    step_ = 0;
    pollCounter_ = 0;
    if (!ValidateInput()) return;
    if (moveFlag_ == 0) {
        StartScriptTransfer();
    } else {
        StartAutoScript(AutoscriptMoveAside);
    }
}

bool SimDialog::StartFails() {
    if (!startsFail) return false;
    ClearDetail();
    SetStatus("FTP送信エラー(コネクションエラー)");
    ShowMessage("FTP送信エラー(コネクションエラー)", MessageIcon::Warning);
    return true;
}

void SimDialog::StartFirmwareUpdate() {
    calls.push_back("StartFirmwareUpdate");
    step_ = 0;
    pollCounter_ = 0;
    if (StartFails()) return;
    step_ = 0;
    OpenConsole();
}

int SimDialog::StartScriptTransfer() {
    calls.push_back("StartScriptTransfer");
    mode_ = ScriptTransfer;
    scriptResult_ = 0;
    step_ = 0;
    pollCounter_ = 0;
    if (StartFails() || !OpenConsole()) {
        if (moveFlag_ != 0) {
            StartAutoScript(AutoscriptRestore);
        } else {
            EnableUpdateButtons();
        }
        return -3;
    }
    return 0;
}

void SimDialog::StartAutoScript(UpdateMode mode) {
    calls.push_back(mode == AutoscriptMoveAside ? "StartAutoScript(0)" : "StartAutoScript(1)");
    mode_ = mode;
    if (StartFails()) return;
    step_ = 0;
    pollCounter_ = 0;
    OpenConsole();
}

void SimDialog::SendReboot() {
    calls.push_back("SendReboot");
    if (!SendCommand("reboot\r")) ReportError("reboot 送信 Error!!");
    Pause(100ms);
}

void SimDialog::FirmwareStepRunGetSysVer() {
    calls.push_back("FirmwareStepRunGetSysVer");
    LoginThenRestart();
}

void SimDialog::ScriptStepLockOff() {
    calls.push_back("ScriptStepLockOff");
    LoginThenRestart();
}

void SimDialog::AutoScriptStepRun() {
    calls.push_back("AutoScriptStepRun");
    LoginThenRestart();
}

// Once logged in, the firmware and autoscript stand-ins restart the device; the script transfer stand-in
// has "transferred" its files and enters step 11 by a console event to itself.
void SimDialog::LoginThenRestart() {
    if (CheckLogin() != LoginCheck::Accepted) return;
    StopWatchdog();
    if (mode_ == ScriptTransfer) {
        step_ = kStepTransferDone;
        OnConsoleEvent();
        return;
    }
    if (mode_ == FirmwareUpdate && firmwarePass_ == 0) secondPass_ = requestSecondPass ? 1 : 0;
    step_ = mode_ == FirmwareUpdate ? kStepFirmwareRebootSent : kStepAutoscriptRebootSent;
    if (!SendCommand("reboot\r")) ReportError("reboot 送信 Error!!");
    Pause(10ms);
}

void SimDialog::setReceived(std::string_view block) {
    ClearReceiveBuffer();
    std::copy_n(block.begin(), std::min(block.size(), receiveBuffer_.size()), receiveBuffer_.begin());
}

}  // namespace tessel::sim
