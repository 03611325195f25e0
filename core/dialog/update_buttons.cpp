#include "dialog/tessel_dlg.h"

namespace tessel {

void CTesselDlg::OnFirmwareButton() {
    const EntryScope entry(*this);
    BeginUpdate(UpdateProcedure::Firmware);
    mode_ = AutoscriptMoveAside;
    step_ = kStepStart;
    firmwarePass_ = 0;
    if (!ValidateInput()) return;
    mode_ = FirmwareUpdate;
    StartFirmwareUpdate();
}

void CTesselDlg::OnScriptButton() {
    const EntryScope entry(*this);
    BeginUpdate(UpdateProcedure::Script);
    mode_ = AutoscriptMoveAside;
    step_ = kStepStart;
    pollCounter_ = 0;
    if (!ValidateInput()) return;
    // With the move flag the transfer follows once the device has restarted after the move-aside.
    if (moveFlag_ == 0) {
        StartScriptTransfer();
    } else {
        StartAutoScript(AutoscriptMoveAside);
    }
}

}  // namespace tessel
