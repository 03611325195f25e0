#include "cli/update_watch.h"

#include "app/control_ids.h"

namespace tessel::cli {

bool UpdatePending(const CTesselDlg& dialog, const TerminalDialogHost& host) {
    if (host.isTimerArmed(CTesselDlg::kReconnectTimerId)) return true;
    const bool running = !host.isEnabled(kFirmwareButton) || !host.isEnabled(kScriptButton);
    if (host.isTimerArmed(CTesselDlg::kWatchdogTimerId)) {
        const bool restoreFollows = dialog.updateMode() == ScriptTransfer && dialog.moveFlag() == 1;
        if (restoreFollows || running) return true;
    }
    return running && dialog.consoleOpen();
}

int ExitStatusFor(const std::string& lastMessage) {
    return lastMessage == "ファームウェア・アップデートが終了しました。" ||
                   lastMessage == "スクリプト・アップデートが終了しました。"
               ? 0
               : 1;
}

}  // namespace tessel::cli
