#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "dialog/tessel_dlg.h"

namespace tessel::sim {

// The dialog with its real procedures, recording every procedure operation the controller calls, and with
// setters for the state that only the procedures and the window would set.
class SimDialog final : public CTesselDlg {
public:
    using CTesselDlg::CTesselDlg;

    void StartFirmwareUpdate() override;
    int StartScriptTransfer() override;
    void StartAutoScript(UpdateMode mode) override;
    void SendReboot() override;
    void FirmwareStepRunGetSysVer() override;
    void FirmwareStepCheckVersion() override;
    void FirmwareStepConfirmSysup() override;
    void FirmwareStepWaitExpansion() override;
    void ScriptStepLockOff() override;
    void ScriptStepMakeFolder() override;
    void ScriptStepTransfer() override;
    void AutoScriptStepRun() override;
    void AutoScriptStepWait() override;

    void setMode(UpdateMode mode) { mode_ = mode; }
    void setStep(std::int32_t step) { step_ = step; }
    void setLinkDown(std::int32_t value) { linkDown_ = value; }
    void setMoveFlag(int value) { moveFlag_ = value; }
    void setSecondPass(std::int32_t value) { secondPass_ = value; }
    void setScriptResult(std::int32_t value) { scriptResult_ = value; }
    void setPollCounter(std::int32_t value) { pollCounter_ = value; }
    void setFirmwarePass(std::int32_t value) { firmwarePass_ = value; }
    void armWatchdog() { ArmWatchdog(); }
    void setReceived(std::string_view block);

    // Procedure operations in the order they were called.
    std::vector<std::string> calls;
};

}  // namespace tessel::sim
