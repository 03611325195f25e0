#include "console/console_socket.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "dialog/tessel_dlg.h"

namespace tessel {
namespace {

// Marks a socket notification as running, so that the dialog does not release a socket under it.
class NotificationScope {
public:
    explicit NotificationScope(int& depth) : depth_(depth) { ++depth_; }
    ~NotificationScope() { --depth_; }
    NotificationScope(const NotificationScope&) = delete;
    NotificationScope& operator=(const NotificationScope&) = delete;

private:
    int& depth_;
};

}  // namespace

CConsoleSocket::CConsoleSocket(CTesselDlg& dialog) : dialog_(dialog) {}

CConsoleSocket::~CConsoleSocket() = default;

bool CConsoleSocket::Create() {
    socket_ = dialog_.sockets_.createStreamSocket(*this);
    return socket_ != nullptr;
}

bool CConsoleSocket::Connect(std::string_view host, std::uint16_t port) {
    return socket_ && socket_->connect(host, port);
}

std::ptrdiff_t CConsoleSocket::Send(const char* data, std::size_t size) {
    return socket_ ? socket_->send(data, size) : -1;
}

void CConsoleSocket::Close() {
    if (socket_) socket_->close();
}

bool CConsoleSocket::IsOpen() const { return socket_ && socket_->isOpen(); }

void CConsoleSocket::onConnect(int errorCode) {
    const CTesselDlg::EntryScope entry(dialog_);
    NotificationScope scope(dialog_.socketCallbackDepth_);
    OnConnect(errorCode);
}

void CConsoleSocket::onReceive(int errorCode) {
    const CTesselDlg::EntryScope entry(dialog_);
    NotificationScope scope(dialog_.socketCallbackDepth_);
    OnReceive(errorCode);
}

void CConsoleSocket::OnConnect(int errorCode) {
    if (errorCode != 0) {
        dialog_.linkDown_ = -1;
        const bool restartWait =
            dialog_.step_ == CTesselDlg::kStepRestartWait && IsUpdateMode(dialog_.mode_);
        if (!restartWait) {
            dialog_.ShowMessage("通信エラー\nIPアドレスや接続を確認してください", MessageIcon::Warning);
        }
    } else {
        dialog_.linkDown_ = 0;
    }
    dialog_.OnConsoleEvent();
}

void CConsoleSocket::OnReceive(int errorCode) {
    if (errorCode != 0) {
        char text[32];
        std::snprintf(text, sizeof text, "Connect Err(0x%x)", static_cast<unsigned>(errorCode));
        dialog_.ShowMessage(text, MessageIcon::Warning);
    }
    std::vector<char>& staging = dialog_.receiveStaging_;
    staging.assign(CTesselDlg::kReceiveReadLimit, '\0');
    dialog_.ClearReceiveBuffer();
    if (!socket_) return;
    const std::ptrdiff_t count = socket_->receive(staging.data(), staging.size());
    if (count == 0) {
        socket_->close();
        dialog_.OnConsoleClosedByDevice();
        return;
    }
    // Nothing was read: no block arrived, so there is nothing for a step to judge.
    if (count < 0) return;
    // Only the start of a block longer than the receive buffer is kept.
    const std::size_t kept = std::min(static_cast<std::size_t>(count), CTesselDlg::kReceiveBufferSize);
    std::memcpy(dialog_.receiveBuffer_.data(), staging.data(), kept);
    dialog_.OnConsoleEvent();
}

}  // namespace tessel
