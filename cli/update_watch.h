// When a headless update has ended, and how.
#ifndef TESSEL_CLI_UPDATE_WATCH_H
#define TESSEL_CLI_UPDATE_WATCH_H

#include <string>

#include "app/tessel_dlg.h"
#include "cli/terminal_dialog_host.h"

namespace tessel::cli {

// What the dialog shows of a running update.
struct UpdateState {
    bool reconnectTimerArmed = false;
    bool watchdogArmed = false;
    // Its expiry would start the autoscript restore (a script transfer with the move flag).
    bool watchdogStartsRestore = false;
    bool updateButtonsDisabled = false;
    bool consoleOpen = false;
};

UpdateState StateOf(const CTesselDlg& dialog, const TerminalDialogHost& host);

// True while something can still change the device: a connection attempt or a step waiting for the
// device, the restart wait, or a watchdog whose expiry would start the autoscript restore. A
// watchdog that could only repeat a failure message holds nothing.
bool UpdatePending(const UpdateState& state);

// 0 when the last message was an update's success message, 1 otherwise.
int ExitStatusFor(const std::string& lastMessage);

}  // namespace tessel::cli

#endif
