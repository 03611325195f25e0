#include "dialog/tessel_dlg.h"

namespace tessel {

int CTesselDlg::OnConsoleEvent() {
    const EntryScope entry(*this);
    if (transferInProgress_) {
        consoleEventHeld_ = true;
        heldEventConsole_ = console_.get();
        return 0;
    }
    if (linkDown_ != 0) {
        if (step_ == kStepRestartWait && IsUpdateMode(mode_)) {
            ArmReconnectTimer();
            return 0;
        }
        step_ = 0;
        ReportError("接続エラー");
        return 0;
    }
    if (step_ == kStepRestartWait && IsUpdateMode(mode_)) {
        EndRestartWait();
        return 0;
    }
    DispatchToStepHandler();
    // A handler that has sent the restart command waits for its echo with no watchdog armed. A device that
    // never answers would leave it waiting for good, the buttons disabled: the watchdog bounds that wait too.
    if (AwaitsRestartEcho()) ArmWatchdog();
    return 0;
}

void CTesselDlg::DispatchToStepHandler() {
    switch (mode_) {
    case AutoscriptMoveAside:
    case AutoscriptRestore:
        switch (step_) {
        case 0: SendLoginId(); break;
        case 1: SendPassword(); break;
        case 2: AutoScriptStepRun(); break;
        case 5: AutoScriptStepWait(); break;
        case kStepAutoscriptRebootSent: EnterRestartWait(); break;
        default: break;
        }
        break;
    case FirmwareUpdate:
        switch (step_) {
        case 0: SendLoginId(); break;
        case 1: SendPassword(); break;
        case 2: FirmwareStepRunGetSysVer(); break;
        case 6: FirmwareStepCheckVersion(); break;
        case 7: FirmwareStepConfirmSysup(); break;
        case 8: FirmwareStepWaitExpansion(); break;
        case kStepFirmwareRebootSent: EnterRestartWait(); break;
        default: break;
        }
        break;
    case ScriptTransfer:
        switch (step_) {
        case 0: SendLoginId(); break;
        case 1: SendPassword(); break;
        case 2: ScriptStepLockOff(); break;
        case 4: ScriptStepMakeFolder(); break;
        case 10: ScriptStepTransfer(); break;
        case kStepTransferDone: ContinueAfterTransfer(); break;
        default: break;
        }
        break;
    }
}

void CTesselDlg::ContinueAfterTransfer() {
    scriptResult_ = 1;
    if (moveFlag_ == 0) {
        linkDown_ = -1;
        step_ = kStepRestartWait;
        SendReboot();
        // A failed send has been reported and stopped the procedure: do not cover it with the restart wait.
        if (step_ != kStepRestartWait) return;
        SetStatus("再起動中");
        ArmReconnectTimer();
        return;
    }
    CloseConsole();
    StartAutoScript(AutoscriptRestore);
    EnableButtonsUnlessConnecting();
}

}  // namespace tessel
