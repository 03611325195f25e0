#include <chrono>

#include "dialog/control_ids.h"
#include "dialog/operator_texts.h"
#include "dialog/tessel_dlg.h"

namespace tessel {

using namespace std::chrono_literals;

bool CTesselDlg::OpenConsole() {
    if (!console_.replace()) return ReportStartFailure(texts::kSocketDeclareError, texts::kSocketDeclareError);
    if (!console_.create()) {
        console_.discard();
        return ReportStartFailure(texts::kSocketCreateError, texts::kSocketCreateError);
    }
    step_ = kStepStart;
    if (!console_.connect(address_, consolePort_)) {
        console_.discard();
        return ReportStartFailure(texts::kConnectStartStatus, texts::kConnectStartBox);
    }
    Pause(100ms);
    DisableUpdateButtons();
    return true;
}

bool CTesselDlg::ReportStartFailure(std::string_view status, std::string_view box) {
    ClearDetail();
    SetStatus(status);
    ShowMessage(box, MessageIcon::Warning);
    return false;
}

void CTesselDlg::Reconnect() {
    // Without a started connect no console event would ever come, so the wait would hang: try again later.
    if (!console_.replace() || !console_.create() || !console_.connect(address_, consolePort_)) ArmReconnectTimer();
}

bool CTesselDlg::SendCommand(std::string_view command) {
    // Commands are formed in a fixed buffer with room for the text and its terminating zero.
    if (command.size() >= kCommandBufferSize) return false;
    const std::ptrdiff_t sent = console_.send(command);
    return sent == static_cast<std::ptrdiff_t>(command.size());
}

void CTesselDlg::SendCommandOrReport(std::string_view command, std::string_view failureMessage) {
    if (!SendCommand(command)) ReportError(failureMessage);
}

void CTesselDlg::SendStepCommand(std::string_view command, std::string_view failureMessage) {
    Pause(500ms);
    SendCommandOrReport(command, failureMessage);
    Pause(100ms);
    ArmWatchdog();
}

}  // namespace tessel
