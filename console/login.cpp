#include <chrono>
#include <cstring>
#include <string>

#include "app/tessel_dlg.h"

namespace tessel {

using namespace std::chrono_literals;

namespace {

constexpr std::size_t kReplyScanEnd = 200;
constexpr std::string_view kLoginIncorrect = "Login incorrect";
constexpr std::int32_t kLoginEventLimit = 30;

}  // namespace

void CTesselDlg::SendLoginId() {
    step_ = 1;
    SetStatus("ログインID送信");
    const std::string command = loginId_ + '\r';
    ClearReceiveBuffer();
    if (!SendCommand(command)) ReportError("ID 送信 Error!!");
    Pause(300ms);
    ArmWatchdog();
}

void CTesselDlg::SendPassword() {
    StopWatchdog();
    step_ = 2;
    SetStatus("パスワード送信");
    const std::string command = password_ + '\r';
    ClearReceiveBuffer();
    if (!SendCommand(command)) ReportError("パスワード送信 Error!!");
    Pause(300ms);
    ArmWatchdog();
}

LoginCheck CTesselDlg::CheckLogin() {
    bool promptSeen = false;
    for (std::size_t offset = 0; offset < kReplyScanEnd; ++offset) {
        if (std::memcmp(&receiveBuffer_[offset], kLoginIncorrect.data(), kLoginIncorrect.size()) == 0) {
            ReportError("ログイン Error!!");
            return LoginCheck::Failed;
        }
        if (receiveBuffer_[offset] == '>') {
            promptSeen = true;
            break;
        }
    }
    if (pollCounter_ > kLoginEventLimit) {
        ReportError("ログイン Error!!");
        CloseConsole();
        return LoginCheck::Failed;
    }
    ++pollCounter_;
    return promptSeen ? LoginCheck::Accepted : LoginCheck::Waiting;
}

}  // namespace tessel
