#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/tessel_dlg.h"

namespace tessel::sim {

// The dialog with stand-in procedures that only log in and restart the device: enough to drive the
// controller's chains, restart waits and failures end to end. Every procedure operation is recorded.
class SimDialog final : public CTesselDlg {
public:
    using CTesselDlg::CTesselDlg;

    // Starts a procedure the way the update buttons do.
    void pressFirmwareButton();
    void pressScriptButton();

    void StartFirmwareUpdate() override;
    int StartScriptTransfer() override;
    void StartAutoScript(UpdateMode mode) override;
    void SendReboot() override;
    void FirmwareStepRunGetSysVer() override;
    void FirmwareStepCheckVersion() override { calls.push_back("FirmwareStepCheckVersion"); }
    void FirmwareStepConfirmSysup() override { calls.push_back("FirmwareStepConfirmSysup"); }
    void FirmwareStepWaitExpansion() override { calls.push_back("FirmwareStepWaitExpansion"); }
    void ScriptStepLockOff() override;
    void ScriptStepMakeFolder() override { calls.push_back("ScriptStepMakeFolder"); }
    void ScriptStepTransfer() override { calls.push_back("ScriptStepTransfer"); }
    void AutoScriptStepRun() override;
    void AutoScriptStepWait() override { calls.push_back("AutoScriptStepWait"); }

    // State that only the procedures and the window set.
    void setMode(UpdateMode mode) { mode_ = mode; }
    void setStep(std::int32_t step) { step_ = step; }
    void setLinkDown(std::int32_t value) { linkDown_ = value; }
    void setMoveFlag(int value) { moveFlag_ = value; }
    void setSecondPass(std::int32_t value) { secondPass_ = value; }
    void setScriptResult(std::int32_t value) { scriptResult_ = value; }
    void setPollCounter(std::int32_t value) { pollCounter_ = value; }
    void armWatchdog() { ArmWatchdog(); }
    void setReceived(std::string_view block);

    std::vector<std::string> calls;
    // The first pass reports a firmware that needs a second pass.
    bool requestSecondPass = false;
    // Start operations fail before they connect, as a failed upload makes them.
    bool startsFail = false;

private:
    bool StartFails();
    void LoginThenRestart();
};

}  // namespace tessel::sim
