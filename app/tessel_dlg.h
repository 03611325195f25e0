#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/update_management_file.h"
#include "app/update_mode.h"
#include "platform/dialog_host.h"
#include "platform/file_uploader.h"
#include "platform/stream_socket.h"

namespace tessel {

class CConsoleSocket;

enum class LoginCheck { Failed, Waiting, Accepted };

// The main dialog: it owns all update state, and its operations are the steps of the update procedures. The
// controller, console and login operations are defined in controller/, console/ and app/; the procedures'
// own operations are declared here and defined with their procedures.
class CTesselDlg {
public:
    static constexpr int kReconnectTimerId = 1000;
    static constexpr int kWatchdogTimerId = 1001;
    static constexpr std::chrono::milliseconds kReconnectPeriod{2000};
    static constexpr std::chrono::milliseconds kWatchdogPeriod{60000};

    static constexpr std::int32_t kStepStopped = -1;
    static constexpr std::int32_t kStepTransferDone = 11;
    static constexpr std::int32_t kStepRestartWait = 12;
    static constexpr std::int32_t kStepAutoscriptRebootSent = 13;
    static constexpr std::int32_t kStepFirmwareRebootSent = 14;

    static constexpr std::size_t kReceiveBufferSize = 20480;
    static constexpr std::size_t kReceiveReadLimit = 200000;
    static constexpr std::size_t kCommandBufferSize = 128;
    static constexpr std::uint16_t kConsolePort = 8002;

    CTesselDlg(DialogHost& host, SocketFactory& sockets, FileUploader& uploader);
    virtual ~CTesselDlg();
    CTesselDlg(const CTesselDlg&) = delete;
    CTesselDlg& operator=(const CTesselDlg&) = delete;

    // Update controller.
    int OnConsoleEvent();
    void OnTimer(int timerId);
    void ReportError(std::string_view message);

    // Console connection and login.
    bool OpenConsole();
    bool SendCommand(std::string_view command);
    void SendLoginId();
    void SendPassword();
    LoginCheck CheckLogin();
    bool ValidateInput();

    // Procedures.
    virtual void StartFirmwareUpdate() = 0;
    virtual int StartScriptTransfer() = 0;
    virtual void StartAutoScript(UpdateMode mode) = 0;
    virtual void SendReboot() = 0;
    virtual void FirmwareStepRunGetSysVer() = 0;
    virtual void FirmwareStepCheckVersion() = 0;
    virtual void FirmwareStepConfirmSysup() = 0;
    virtual void FirmwareStepWaitExpansion() = 0;
    virtual void ScriptStepLockOff() = 0;
    virtual void ScriptStepMakeFolder() = 0;
    virtual void ScriptStepTransfer() = 0;
    virtual void AutoScriptStepRun() = 0;
    virtual void AutoScriptStepWait() = 0;

    UpdateMode updateMode() const { return mode_; }
    std::int32_t step() const { return step_; }
    std::int32_t linkDown() const { return linkDown_; }
    std::int32_t pollCounter() const { return pollCounter_; }
    std::int32_t firmwarePass() const { return firmwarePass_; }
    std::int32_t scriptResult() const { return scriptResult_; }
    int moveFlag() const { return moveFlag_; }
    const std::string& address() const { return address_; }
    const std::string& loginId() const { return loginId_; }
    const std::string& password() const { return password_; }
    std::uint16_t ftpPort() const { return ftpPort_; }
    const std::array<char, kReceiveBufferSize>& receiveBuffer() const { return receiveBuffer_; }
    // True while the current console socket is connecting or connected.
    bool consoleOpen() const;

protected:
    void SetStatus(std::string_view text);
    void ClearDetail();
    void EnableUpdateButtons();
    void DisableUpdateButtons();
    void ArmWatchdog();
    void StopWatchdog();
    void CloseConsole();
    void ClearReceiveBuffer();
    void Pause(std::chrono::milliseconds duration);
    void ShowMessage(std::string_view text, MessageIcon icon);

    DialogHost& host_;
    SocketFactory& sockets_;
    FileUploader& uploader_;

    UpdateMode mode_ = AutoscriptMoveAside;
    std::int32_t step_ = 0;
    std::int32_t linkDown_ = 0;
    std::int32_t pollCounter_ = 0;
    std::int32_t firmwarePass_ = 0;
    std::int32_t secondPass_ = 0;
    std::int32_t scriptResult_ = 0;
    int moveFlag_ = 0;

    // Code page 932 bytes, as typed and checked by ValidateInput.
    std::string address_;
    std::string loginId_;
    std::string password_;
    std::uint16_t ftpPort_ = 21;
    std::uint16_t consolePort_ = kConsolePort;

    std::string programDirectory_;
    UpdateHeader header_;
    // Zero until the management file gives a key: a zero key leaves the bytes unchanged.
    std::uint8_t scrambleKey_ = 0;
    std::vector<UpdateFileEntry> updateFiles_;

    std::array<char, kReceiveBufferSize> receiveBuffer_{};

private:
    friend class CConsoleSocket;

    void DispatchToStepHandler();
    bool AwaitsRestartEcho() const;
    bool AwaitsRestart() const;
    void OnConsoleClosedByDevice();
    void EnterRestartWait();
    void EndRestartWait();
    void ShowScriptResult();
    void ContinueAfterTransfer();
    void ArmReconnectTimer();
    void StopReconnectTimer();
    void Reconnect();
    void ExpireWatchdog();
    void EnableButtonsUnlessConnecting();

    // The new current socket, or null when it cannot be allocated; the previous one keeps delivering events.
    CConsoleSocket* ReplaceConsoleSocket();
    void ReleaseFinishedSockets();
    bool FailOpenConsole(std::string_view status, std::string_view box);

    std::unique_ptr<CConsoleSocket> console_;
    // Replaced sockets: a restarted device may still send on one before it drops the connection.
    std::vector<std::unique_ptr<CConsoleSocket>> retiredConsoles_;
    // Socket notifications on the stack; sockets are only released when none is.
    int socketCallbackDepth_ = 0;
    std::vector<char> receiveStaging_;
    bool watchdogArmed_ = false;
};

}  // namespace tessel
