#include <chrono>
#include <optional>
#include <string>

#include "dialog/operator_texts.h"
#include "dialog/tessel_dlg.h"

namespace tessel {

using namespace std::chrono_literals;

namespace {

constexpr std::int32_t kLoginEventLimit = 30;

}  // namespace

void CTesselDlg::SendLoginId() {
    SendLoginLine(kStepLoginIdSent, texts::kLoginIdStatus, loginId_, texts::kLoginIdSendError);
}

void CTesselDlg::SendPassword() {
    StopWatchdog();
    SendLoginLine(kStepPasswordSent, texts::kPasswordStatus, password_, texts::kPasswordSendError);
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
        ReportError(texts::kLoginError);
        return LoginCheck::Failed;
    }
    const bool promptSeen = seen == 1u;
    if (!CountPolledEvent(kLoginEventLimit, texts::kLoginError)) return LoginCheck::Failed;
    return promptSeen ? LoginCheck::Accepted : LoginCheck::Waiting;
}

}  // namespace tessel
