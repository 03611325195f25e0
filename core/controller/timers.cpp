#include "dialog/tessel_dlg.h"

namespace tessel {

void CTesselDlg::OnTimer(int timerId) {
    const EntryScope entry(*this);
    switch (timerId) {
    case kReconnectTimerId:
        StopReconnectTimer();
        Reconnect();
        break;
    case kWatchdogTimerId:
        ExpireWatchdog();
        break;
    default:
        break;
    }
}

void CTesselDlg::ExpireWatchdog() {
    StopWatchdog();
    CloseConsole();
    step_ = kStepStart;
    constexpr std::string_view kFailed = "アップデート処理に失敗しました。";
    if (mode_ == ScriptTransfer && moveFlag_ == 1) {
        ShowMessage("アップデート処理に失敗しました。\n状態を元に戻しますので、[OK]をクリックして、しばらくお待ちください。",
                    MessageIcon::Information);
        StartAutoScript(AutoscriptRestore);
        EnableButtonsUnlessConnecting();
        return;
    }
    EnableUpdateButtons();
    ClearDetail();
    SetStatus(kFailed);
    ShowMessage(kFailed, MessageIcon::Information);
}

}  // namespace tessel
