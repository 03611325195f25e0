#include "dialog/tessel_dlg.h"

#include "dialog/control_ids.h"

namespace tessel {

CTesselDlg::CTesselDlg(const DialogPorts& ports)
    : host_(ports.window),
      timers_(ports.timers),
      events_(ports.events),
      sockets_(ports.sockets),
      uploader_(ports.uploader),
      observer_(ports.observer) {}

CTesselDlg::~CTesselDlg() = default;

bool CTesselDlg::consoleOpen() const { return console_.isOpen(); }

void CTesselDlg::SetStatus(std::string_view text) { host_.setControlText(kStatusLine, text); }

void CTesselDlg::ClearDetail() { host_.setControlText(kDetailLine, ""); }

void CTesselDlg::EnableUpdateButtons() {
    host_.enableControl(kFirmwareButton, true);
    host_.enableControl(kScriptButton, true);
    buttonsEnabled_ = true;
}

void CTesselDlg::DisableUpdateButtons() {
    host_.enableControl(kScriptButton, false);
    host_.enableControl(kFirmwareButton, false);
    buttonsEnabled_ = false;
}

void CTesselDlg::ArmWatchdog() {
    timers_.setTimer(kWatchdogTimerId, kWatchdogPeriod, [this](int id) { OnTimer(id); });
    watchdogArmed_ = true;
}

void CTesselDlg::StopWatchdog() {
    timers_.killTimer(kWatchdogTimerId);
    watchdogArmed_ = false;
}

void CTesselDlg::ArmReconnectTimer() {
    timers_.setTimer(kReconnectTimerId, kReconnectPeriod, [this](int id) { OnTimer(id); });
    reconnectArmed_ = true;
}

void CTesselDlg::StopReconnectTimer() {
    timers_.killTimer(kReconnectTimerId);
    reconnectArmed_ = false;
}

void CTesselDlg::CloseConsole() { console_.close(); }

void CTesselDlg::ClearReceiveBuffer() { receiveBuffer_.fill('\0'); }

void CTesselDlg::Pause(std::chrono::milliseconds duration) { events_.pause(duration); }

void CTesselDlg::ShowMessage(std::string_view text, MessageIcon icon) {
    outcome_.finalMessage = ShownMessage{std::string(text), icon};
    host_.messageBox(text, icon, MessageButtons::Ok);
}

}  // namespace tessel
