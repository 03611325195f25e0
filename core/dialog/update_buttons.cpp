#include "dialog/operator_texts.h"
#include "dialog/tessel_dlg.h"

namespace tessel {

void CTesselDlg::OnFirmwareButton() {
    const EntryScope entry(*this);
    BeginUpdate(UpdateProcedure::Firmware);
    mode_ = AutoscriptMoveAside;
    step_ = kStepStart;
    firmwarePass_ = 0;
    if (!ValidateInput() || !AdmitPackage(UpdateProcedure::Firmware) || RestoreFirstIfInterrupted()) return;
    mode_ = FirmwareUpdate;
    StartFirmwareUpdate();
}

void CTesselDlg::OnScriptButton() {
    const EntryScope entry(*this);
    BeginUpdate(UpdateProcedure::Script);
    mode_ = AutoscriptMoveAside;
    step_ = kStepStart;
    pollCounter_ = 0;
    if (!ValidateInput() || !AdmitPackage(UpdateProcedure::Script) || RestoreFirstIfInterrupted()) return;
    // With the move flag the transfer follows once the device has restarted after the move-aside.
    if (moveFlag_ == 0) {
        StartScriptTransfer();
    } else if (RecordMoveAside()) {
        StartAutoScript(AutoscriptMoveAside);
    }
}

void CTesselDlg::OnVersionQuery() {
    const EntryScope entry(*this);
    BeginUpdate(UpdateProcedure::VersionQuery);
    mode_ = AutoscriptMoveAside;
    step_ = kStepStart;
    firmwarePass_ = 0;
    pollCounter_ = 0;
    packageDirectory_ = programDirectory_;
    if (!ValidateInput()) return;
    mode_ = VersionQuery;
    StartVersionQuery();
}

void CTesselDlg::OnRestoreAutoscript() {
    const EntryScope entry(*this);
    BeginUpdate(UpdateProcedure::AutoscriptRestore);
    mode_ = AutoscriptMoveAside;
    step_ = kStepStart;
    pollCounter_ = 0;
    if (!ValidateInput()) return;
    StartAutoScript(AutoscriptRestore);
}

bool CTesselDlg::AdmitPackage(UpdateProcedure procedure) {
    packageDirectory_ = programDirectory_;
    if (!packageGate_) return true;
    const PackageAdmission admission = packageGate_->admit(programDirectory_, procedure);
    if (admission.admitted) {
        packageDirectory_ = admission.folder;
        return true;
    }
    ReportStartFailure(texts::kPackageRefusedStatus, texts::PackageRefused(admission.refusal, admission.subject));
    outcome_.detail = admission.detail;
    return false;
}

bool CTesselDlg::RestoreFirstIfInterrupted() {
    if (!journal_.find(address_, consolePort_)) return false;
    ShowMessage(texts::kEarlierUpdateInterrupted, MessageIcon::Information);
    outcome_.procedure = UpdateProcedure::AutoscriptRestore;
    StartAutoScript(AutoscriptRestore);
    return true;
}

bool CTesselDlg::RecordMoveAside() {
    if (!journal_.enabled()) return true;
    const JournalEntry entry{address_, ftpPort_, consolePort_, JournalTimeNow(), programDirectory_};
    if (journal_.record(entry)) return true;
    const std::string message = texts::JournalWriteError(journal_.pathFor(address_, consolePort_));
    ReportStartFailure(message, message);
    return false;
}

}  // namespace tessel
