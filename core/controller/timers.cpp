#include "dialog/operator_texts.h"
#include "dialog/tessel_dlg.h"

namespace tessel {

void CTesselDlg::OnTimer(int timerId) {
    const EntryScope entry(*this);
    switch (timerId) {
    case kReconnectTimerId:
        StopReconnectTimer();
        Reconnect();
        break;
    case kWatchdogTimerId: ExpireWatchdog(); break;
    default: break;
    }
}

void CTesselDlg::ExpireWatchdog() {
    StopWatchdog();
    CloseConsole();
    step_ = kStepStart;
    if (mode_ == ScriptTransfer && moveFlag_ == 1) {
        ShowMessage(texts::kUpdateFailedRestoring, MessageIcon::Information);
        StartAutoScript(AutoscriptRestore);
        EnableButtonsUnlessConnecting();
        return;
    }
    EnableUpdateButtons();
    ClearDetail();
    SetStatus(texts::kUpdateFailed);
    ShowMessage(texts::kUpdateFailed, MessageIcon::Information);
}

}  // namespace tessel
