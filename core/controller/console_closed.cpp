#include "dialog/operator_texts.h"
#include "dialog/tessel_dlg.h"

namespace tessel {

bool CTesselDlg::AwaitsRestartEcho() const {
    switch (step_) {
    case kStepAutoscriptRebootSent: return mode_ == AutoscriptMoveAside || mode_ == AutoscriptRestore;
    case kStepFirmwareRebootSent: return mode_ == FirmwareUpdate;
    default: return false;
    }
}

bool CTesselDlg::AwaitsRestart() const {
    return (step_ == kStepRestartWait && IsUpdateMode(mode_)) || AwaitsRestartEcho();
}

// A read of 0 bytes: the device has closed the console connection.
void CTesselDlg::OnConsoleClosedByDevice() {
    // After the restart command that is the restart itself: it leads into, or keeps, the restart wait.
    if (AwaitsRestart()) {
        OnConsoleEvent();
        return;
    }
    // The watchdog ends a procedure that waits for the device; without it nothing would, and the buttons
    // would stay disabled for good.
    if (watchdogArmed_) {
        ShowMessage(texts::kReceiveError, MessageIcon::Warning);
        return;
    }
    ReportError(texts::kReceiveError);
}

}  // namespace tessel
