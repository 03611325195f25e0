#include "sim_dialog.h"

#include <algorithm>

namespace tessel::sim {

void SimDialog::StartFirmwareUpdate() {
    calls.push_back("StartFirmwareUpdate");
    CTesselDlg::StartFirmwareUpdate();
}

int SimDialog::StartScriptTransfer() {
    calls.push_back("StartScriptTransfer");
    return CTesselDlg::StartScriptTransfer();
}

void SimDialog::StartAutoScript(UpdateMode mode) {
    calls.push_back(mode == AutoscriptMoveAside ? "StartAutoScript(0)" : "StartAutoScript(1)");
    CTesselDlg::StartAutoScript(mode);
}

void SimDialog::SendReboot() {
    calls.push_back("SendReboot");
    CTesselDlg::SendReboot();
}

void SimDialog::FirmwareStepRunGetSysVer() {
    calls.push_back("FirmwareStepRunGetSysVer");
    CTesselDlg::FirmwareStepRunGetSysVer();
}

void SimDialog::FirmwareStepCheckVersion() {
    calls.push_back("FirmwareStepCheckVersion");
    CTesselDlg::FirmwareStepCheckVersion();
}

void SimDialog::FirmwareStepConfirmSysup() {
    calls.push_back("FirmwareStepConfirmSysup");
    CTesselDlg::FirmwareStepConfirmSysup();
}

void SimDialog::FirmwareStepWaitExpansion() {
    calls.push_back("FirmwareStepWaitExpansion");
    CTesselDlg::FirmwareStepWaitExpansion();
}

void SimDialog::ScriptStepLockOff() {
    calls.push_back("ScriptStepLockOff");
    CTesselDlg::ScriptStepLockOff();
}

void SimDialog::ScriptStepMakeFolder() {
    calls.push_back("ScriptStepMakeFolder");
    CTesselDlg::ScriptStepMakeFolder();
}

void SimDialog::ScriptStepTransfer() {
    calls.push_back("ScriptStepTransfer");
    CTesselDlg::ScriptStepTransfer();
}

void SimDialog::AutoScriptStepRun() {
    calls.push_back("AutoScriptStepRun");
    CTesselDlg::AutoScriptStepRun();
}

void SimDialog::AutoScriptStepWait() {
    calls.push_back("AutoScriptStepWait");
    CTesselDlg::AutoScriptStepWait();
}

void SimDialog::setReceived(std::string_view block) {
    ClearReceiveBuffer();
    std::copy_n(block.begin(), std::min(block.size(), receiveBuffer_.size()), receiveBuffer_.begin());
}

}  // namespace tessel::sim
