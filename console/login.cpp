#include <chrono>
#include <optional>
#include <string>

#include "app/tessel_dlg.h"

namespace tessel {

using namespace std::chrono_literals;

namespace {

constexpr std::int32_t kLoginEventLimit = 30;

}  // namespace

void CTesselDlg::SendLoginId() {
    step_ = 1;
    SetStatus("ログインID送信");
    const std::string command = loginId_ + '\r';
    ClearReceiveBuffer();
    SendCommandOrReport(command, "ID 送信 Error!!");
    Pause(300ms);
    ArmWatchdog();
}

void CTesselDlg::SendPassword() {
    StopWatchdog();
    step_ = 2;
    SetStatus("パスワード送信");
    const std::string command = password_ + '\r';
    ClearReceiveBuffer();
    SendCommandOrReport(command, "パスワード送信 Error!!");
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
    if (pollCounter_ > kLoginEventLimit) {
        ReportError("ログイン Error!!");
        CloseConsole();
        return LoginCheck::Failed;
    }
    ++pollCounter_;
    return promptSeen ? LoginCheck::Accepted : LoginCheck::Waiting;
}

}  // namespace tessel
