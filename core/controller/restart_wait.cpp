#include <chrono>

#include "dialog/tessel_dlg.h"

namespace tessel {

using namespace std::chrono_literals;

void CTesselDlg::EnterRestartWait() {
    StopWatchdog();
    linkDown_ = -1;
    step_ = kStepRestartWait;
    SetStatus("再起動中");
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
        CloseConsole();
        StopReconnectTimer();
        EnableUpdateButtons();
        step_ = kStepStart;
        ClearDetail();
        ShowScriptResult();
        break;
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
        SetStatus("ファームウェア・アップデート終了");
        ShowMessage("ファームウェア・アップデートが終了しました。", MessageIcon::Information);
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
        SetStatus("スクリプト・アップデート終了");
        ShowMessage("スクリプト・アップデートが終了しました。", MessageIcon::Information);
    } else {
        SetStatus("スクリプト・アップデートできませんでした。");
        ShowMessage("スクリプト・アップデートができませんでした。", MessageIcon::Information);
    }
}

// A procedure that the controller starts in a chain may fail before it opens a connection; it leaves the
// buttons as they were, disabled by the procedure before it, and nothing would ever enable them again.
void CTesselDlg::EnableButtonsUnlessConnecting() {
    if (!consoleOpen()) EnableUpdateButtons();
}

}  // namespace tessel
