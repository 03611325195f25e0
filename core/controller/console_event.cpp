#include "dialog/operator_texts.h"
#include "dialog/tessel_dlg.h"

namespace tessel {

int CTesselDlg::OnConsoleEvent() {
    const EntryScope entry(*this);
    if (transferInProgress_) {
        consoleEventHeld_ = true;
        heldEventConnection_ = console_.generation();
        return 0;
    }
    if (linkDown_ != 0) {
        if (step_ == kStepRestartWait && IsUpdateMode(mode_)) {
            ArmReconnectTimer();
            return 0;
        }
        step_ = kStepStart;
        ReportError(texts::kConnectionError);
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

// Which operation handles a console event, by step and mode; an empty cell ignores the event.
void CTesselDlg::DispatchToStepHandler() {
    using Handler = void (CTesselDlg::*)();
    struct Row {
        std::int32_t step;
        Handler autoscript;  // AutoscriptMoveAside and AutoscriptRestore
        Handler firmware;    // FirmwareUpdate
        Handler script;      // ScriptTransfer
        Handler query;       // VersionQuery
    };
    static constexpr Row kSteps[] = {
        {kStepStart, &CTesselDlg::SendLoginId, &CTesselDlg::SendLoginId, &CTesselDlg::SendLoginId,
         &CTesselDlg::SendLoginId},
        {kStepLoginIdSent, &CTesselDlg::SendPassword, &CTesselDlg::SendPassword, &CTesselDlg::SendPassword,
         &CTesselDlg::SendPassword},
        {kStepPasswordSent, &CTesselDlg::AutoScriptStepRun, &CTesselDlg::FirmwareStepRunGetSysVer,
         &CTesselDlg::ScriptStepLockOff, &CTesselDlg::FirmwareStepRunGetSysVer},
        {kStepLockOffSent, nullptr, nullptr, &CTesselDlg::ScriptStepMakeFolder, nullptr},
        {kStepAutoScriptSent, &CTesselDlg::AutoScriptStepWait, nullptr, nullptr, nullptr},
        {kStepVersionScriptSent, nullptr, &CTesselDlg::FirmwareStepCheckVersion, nullptr,
         &CTesselDlg::VersionQueryStepRead},
        {kStepSysupSent, nullptr, &CTesselDlg::FirmwareStepConfirmSysup, nullptr, nullptr},
        {kStepSysupConfirmed, nullptr, &CTesselDlg::FirmwareStepWaitExpansion, nullptr, nullptr},
        {kStepFolderCommandSent, nullptr, nullptr, &CTesselDlg::ScriptStepTransfer, nullptr},
        {kStepTransferDone, nullptr, nullptr, &CTesselDlg::ContinueAfterTransfer, nullptr},
        {kStepAutoscriptRebootSent, &CTesselDlg::EnterRestartWait, nullptr, nullptr, nullptr},
        {kStepFirmwareRebootSent, nullptr, &CTesselDlg::EnterRestartWait, nullptr, nullptr},
    };
    for (const Row& row : kSteps) {
        if (row.step != step_) continue;
        Handler handler = nullptr;
        switch (mode_) {
        case AutoscriptMoveAside:
        case AutoscriptRestore: handler = row.autoscript; break;
        case FirmwareUpdate: handler = row.firmware; break;
        case ScriptTransfer: handler = row.script; break;
        case VersionQuery: handler = row.query; break;
        }
        if (handler != nullptr) (this->*handler)();
        return;
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
        SetStatus(texts::kRestarting);
        ArmReconnectTimer();
        return;
    }
    CloseConsole();
    StartAutoScript(AutoscriptRestore);
    EnableButtonsUnlessConnecting();
}

}  // namespace tessel
