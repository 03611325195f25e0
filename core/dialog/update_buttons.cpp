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
    } else {
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
    deviceKey_ = sockets_.deviceAddress(address_);
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
    // One device has one record, however its address was written.
    deviceKey_ = sockets_.deviceAddress(address_);
    if (deviceKey_.empty()) return false;
    // A record that cannot be read may stand for a device left without its autoscript: not a thing to pass by.
    if (const std::string problem = journal_.problem(deviceKey_, consolePort_); !problem.empty()) {
        const std::string message = texts::JournalReadError(journal_.pathFor(deviceKey_, consolePort_), problem);
        ReportStartFailure(message, message);
        return true;
    }
    if (!journal_.find(deviceKey_, consolePort_)) return false;
    ShowMessage(texts::kEarlierUpdateInterrupted, MessageIcon::Information);
    outcome_.procedure = UpdateProcedure::AutoscriptRestore;
    StartAutoScript(AutoscriptRestore);
    return true;
}

bool CTesselDlg::RecordMoveAside() {
    if (!journal_.enabled()) return true;
    const JournalEntry entry{address_, ftpPort_, consolePort_, JournalTimeNow(), programDirectory_};
    const std::string problem = journal_.problem(deviceKey_, consolePort_);
    if (!deviceKey_.empty() && problem.empty() && journal_.record(deviceKey_, entry)) return true;
    ReportError(texts::JournalWriteError(journal_.pathFor(deviceKey_, consolePort_), problem));
    return false;
}

}  // namespace tessel
