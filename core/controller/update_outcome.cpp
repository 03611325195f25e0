#include <algorithm>

#include "dialog/control_ids.h"
#include "dialog/tessel_dlg.h"
#include "procedures/firmware_version.h"

namespace tessel {

CTesselDlg::EntryScope::~EntryScope() {
    if (--dialog_.entryDepth_ == 0) dialog_.ReportOutcomeIfEnded();
}

void CTesselDlg::BeginUpdate(UpdateProcedure procedure) {
    // An operator may press a button while a failed update still has its watchdog running; that update is
    // over for good once the new one takes the dialog over.
    if (updateRunning_) ReportOutcome();
    outcome_ = UpdateOutcome{};
    outcome_.procedure = procedure;
    updateRunning_ = true;
}

bool CTesselDlg::UpdatePending() const {
    if (transferInProgress_ || reconnectArmed_) return true;
    if (consoleOpen() && step_ != kStepStopped) return true;
    if (!watchdogArmed_) return false;
    // A watchdog after a failure only repeats the failure message, unless it starts the restore or the
    // procedure it guards still holds the buttons.
    return (mode_ == ScriptTransfer && moveFlag_ == 1) || !buttonsEnabled_;
}

void CTesselDlg::ReportOutcomeIfEnded() {
    if (updateRunning_ && !UpdatePending()) ReportOutcome();
}

void CTesselDlg::ReportOutcome() {
    updateRunning_ = false;
    outcome_.statusLine = host_.controlText(kStatusLine);
    observer_.updateEnded(outcome_);
}

void CTesselDlg::RecordFirmwareVersion() {
    // Read from a copy: the second pass must not disturb the block its step goes on to judge.
    std::vector<char> block(receiveBuffer_.begin(), receiveBuffer_.end());
    outcome_.firmwareVersions.push_back(FirmwareVersionText(block));
}

}  // namespace tessel
