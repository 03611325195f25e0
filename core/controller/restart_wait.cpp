#include <chrono>

#include "dialog/operator_texts.h"
#include "dialog/tessel_dlg.h"

namespace tessel {

using namespace std::chrono_literals;

void CTesselDlg::EnterRestartWait() {
    StopWatchdog();
    linkDown_ = -1;
    step_ = kStepRestartWait;
    SetStatus(texts::kRestarting);
    ArmReconnectTimer();
}

// The device answers again after its restart.
void CTesselDlg::EndRestartWait() {
    switch (mode_) {
    case AutoscriptMoveAside:
        CloseConsole();
        StopReconnectTimer();
        Pause(50ms);
        StartScriptTransfer();
        EnableButtonsUnlessConnecting();
        break;
    case AutoscriptRestore:
        outcome_.restore = RestoreResult::Completed;
        // The device has its autoscript back: nothing is left to repair.
        journal_.remove(deviceKey_, consolePort_);
        CloseConsole();
        StopReconnectTimer();
        EnableUpdateButtons();
        step_ = kStepStart;
        ClearDetail();
        // A restore that is the whole procedure, not the end of a script update, ends with its own message.
        if (outcome_.procedure == UpdateProcedure::AutoscriptRestore) {
            outcome_.succeeded = true;
            SetStatus(texts::kRestoreDoneStatus);
            ShowMessage(texts::kRestoreDoneBox, MessageIcon::Information);
        } else {
            ShowScriptResult();
        }
        break;
    case VersionQuery: break;
    case FirmwareUpdate:
        CloseConsole();
        step_ = kStepStart;
        StopReconnectTimer();
        Pause(50ms);
        if (firmwarePass_ == 0 && secondPass_ == 1) {
            StartFirmwareUpdate();
            firmwarePass_ += 1;
            EnableButtonsUnlessConnecting();
            break;
        }
        EnableUpdateButtons();
        ClearDetail();
        outcome_.succeeded = true;
        SetStatus(texts::kFirmwareDoneStatus);
        ShowMessage(texts::kFirmwareDoneBox, MessageIcon::Information);
        break;
    case ScriptTransfer:
        CloseConsole();
        StopReconnectTimer();
        Pause(50ms);
        EnableUpdateButtons();
        ClearDetail();
        step_ = kStepStart;
        ShowScriptResult();
        break;
    }
}

void CTesselDlg::ShowScriptResult() {
    outcome_.succeeded = scriptResult_ == 1;
    if (scriptResult_ == 1) {
        SetStatus(texts::kScriptDoneStatus);
        ShowMessage(texts::kScriptDoneBox, MessageIcon::Information);
    } else {
        SetStatus(texts::kScriptFailedStatus);
        ShowMessage(texts::kScriptFailedBox, MessageIcon::Information);
    }
}

// A procedure that the controller starts in a chain may fail before it opens a connection; it leaves the
// buttons as they were, disabled by the procedure before it, and nothing would ever enable them again.
void CTesselDlg::EnableButtonsUnlessConnecting() {
    if (!consoleOpen()) EnableUpdateButtons();
}

}  // namespace tessel
