#include "cli/update_watch.h"

#include "app/control_ids.h"

namespace tessel::cli {

UpdateState StateOf(const CTesselDlg& dialog, const TerminalDialogHost& host) {
    UpdateState state;
    state.reconnectTimerArmed = host.isTimerArmed(CTesselDlg::kReconnectTimerId);
    state.watchdogArmed = host.isTimerArmed(CTesselDlg::kWatchdogTimerId);
    state.watchdogStartsRestore = dialog.updateMode() == ScriptTransfer && dialog.moveFlag() == 1;
    state.updateButtonsDisabled = !host.isEnabled(kFirmwareButton) || !host.isEnabled(kScriptButton);
    state.consoleOpen = dialog.consoleOpen();
    return state;
}

bool UpdatePending(const UpdateState& state) {
    if (state.reconnectTimerArmed) return true;
    if (state.watchdogArmed && (state.watchdogStartsRestore || state.updateButtonsDisabled)) return true;
    return state.updateButtonsDisabled && state.consoleOpen;
}

int ExitStatusFor(const std::string& lastMessage) {
    return lastMessage == "ファームウェア・アップデートが終了しました。" ||
                   lastMessage == "スクリプト・アップデートが終了しました。"
               ? 0
               : 1;
}

}  // namespace tessel::cli
