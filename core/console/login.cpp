#include <chrono>
#include <optional>
#include <string>

#include "dialog/tessel_dlg.h"

namespace tessel {

using namespace std::chrono_literals;

namespace {

constexpr std::int32_t kLoginEventLimit = 30;

}  // namespace

void CTesselDlg::SendLoginId() { SendLoginLine(kStepLoginIdSent, "ログインID送信", loginId_, "ID 送信 Error!!"); }

void CTesselDlg::SendPassword() {
    StopWatchdog();
    SendLoginLine(kStepPasswordSent, "パスワード送信", password_, "パスワード送信 Error!!");
}

void CTesselDlg::SendLoginLine(std::int32_t nextStep, std::string_view status, const std::string& text,
                               std::string_view failureMessage) {
    step_ = nextStep;
    SetStatus(status);
    ClearReceiveBuffer();
    SendCommandOrReport(text + '\r', failureMessage);
    Pause(300ms);
    ArmWatchdog();
}

LoginCheck CTesselDlg::CheckLogin() {
    const std::optional<std::size_t> seen = ScanReply({"Login incorrect", ">"});
    if (seen == 0u) {
        ReportError("ログイン Error!!");
        return LoginCheck::Failed;
    }
    const bool promptSeen = seen == 1u;
    if (!CountPolledEvent(kLoginEventLimit, "ログイン Error!!")) return LoginCheck::Failed;
    return promptSeen ? LoginCheck::Accepted : LoginCheck::Waiting;
}

}  // namespace tessel
