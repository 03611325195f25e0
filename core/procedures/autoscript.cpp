#include <chrono>

#include "console/device_commands.h"
#include "dialog/operator_texts.h"
#include "dialog/tessel_dlg.h"
#include "platform/os/files.h"
#include "procedures/package_files.h"
#include "procedures/reply_limits.h"

namespace tessel {

using namespace std::chrono_literals;

void CTesselDlg::StartAutoScript(UpdateMode mode) {
    mode_ = mode;
    // Failed until its end after the device's restart says otherwise.
    if (mode == AutoscriptRestore) outcome_.restore = RestoreResult::Failed;
    const std::optional<std::string> path = CheckedWorkFilePath(kAutoScriptFile);
    if (!path) return;
    if (!WriteAutoScriptFile()) {
        // Ending without a word would leave the operator guessing whether the device was touched.
        const std::string message = texts::CannotCreate(DisplayPath(*path));
        ReportStartFailure(message, message);
        return;
    }
    const int result = UploadToDevice(*path, "B:\\m_AutoScript.wcr");
    os::RemoveFile(*path);
    if (result != 0) {
        const std::string message = texts::UploadFailureMessage(texts::kAutoScriptUploadError, result);
        ReportStartFailure(message, message);
        return;
    }
    Pause(1000ms);
    step_ = kStepStart;
    pollCounter_ = 0;
    OpenConsole();
}

void CTesselDlg::AutoScriptStepRun() {
    const LoginCheck login = CheckLogin();
    if (login == LoginCheck::Failed) return;
    // While the prompt has not come, the watchdog armed with the password keeps running: a device that falls
    // silent now would otherwise hold the procedure, and the disabled buttons, for good.
    if (login == LoginCheck::Waiting) return;
    StopWatchdog();
    // From here on the device may be left without its autoscript: a record lets the next update restore it.
    // Nothing before this point touches the device, so nothing before it is recorded.
    if (mode_ == AutoscriptMoveAside && !RecordMoveAside()) return;
    step_ = kStepAutoScriptSent;
    SetStatus(texts::kAutoScriptMoveStatus);
    SendStepCommand(device::kRunAutoScriptMove, texts::kAutoScriptMoveSendError);
}

void CTesselDlg::AutoScriptStepWait() {
    if (ScanReply({device::kReturnedZero})) {
        step_ = kStepAutoscriptRebootSent;
        StopWatchdog();
        SendCommandOrReport(device::kReboot, texts::kRebootSendError);
        Pause(100ms);
        return;
    }
    CountPolledEvent(kReplyEventLimit, texts::kMoveCommandError);
}

}  // namespace tessel
