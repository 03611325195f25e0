#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "console/console_connection.h"
#include "dialog/update_management_file.h"
#include "dialog/update_mode.h"
#include "platform/dialog_ports.h"
#include "platform/package_gate.h"
#include "procedures/interruption_journal.h"
#include "procedures/work_folder.h"

namespace tessel {

enum class LoginCheck { Failed, Waiting, Accepted };

// The main dialog: it owns all update state, and its operations are the steps of the update procedures. The
// controller, console and login operations are defined in controller/, console/ and app/; the procedures'
// own operations are declared here and defined with their procedures.
class CTesselDlg : private ConsoleEvents {
public:
    static constexpr int kReconnectTimerId = 1000;
    static constexpr int kWatchdogTimerId = 1001;
    static constexpr std::chrono::milliseconds kReconnectPeriod{2000};
    static constexpr std::chrono::milliseconds kWatchdogPeriod{60000};

    // The steps of the procedures, named by what each waits for. A step without a handler in the current
    // mode ignores console events.
    static constexpr std::int32_t kStepStopped = -1;
    // A procedure at its start, and the step an ended one rests at: a connect result sends the login ID.
    static constexpr std::int32_t kStepStart = 0;
    static constexpr std::int32_t kStepLoginIdSent = 1;
    static constexpr std::int32_t kStepPasswordSent = 2;
    static constexpr std::int32_t kStepLockOffSent = 4;
    static constexpr std::int32_t kStepAutoScriptSent = 5;
    static constexpr std::int32_t kStepVersionScriptSent = 6;
    static constexpr std::int32_t kStepSysupSent = 7;
    static constexpr std::int32_t kStepSysupConfirmed = 8;
    static constexpr std::int32_t kStepFolderCommandSent = 10;
    static constexpr std::int32_t kStepTransferDone = 11;
    static constexpr std::int32_t kStepRestartWait = 12;
    static constexpr std::int32_t kStepAutoscriptRebootSent = 13;
    static constexpr std::int32_t kStepFirmwareRebootSent = 14;

    static constexpr std::size_t kReceiveBufferSize = 20480;
    static constexpr std::size_t kReceiveReadLimit = ConsoleConnection::kReceiveReadLimit;
    static constexpr std::size_t kCommandBufferSize = 128;
    static constexpr std::uint16_t kConsolePort = 8002;

    explicit CTesselDlg(const DialogPorts& ports);
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

    // Start-up: the defaults and the update header of the package in programDirectory (a relative one is
    // taken from the current directory), shown through the host.
    void InitDialog(std::string_view programDirectory);
    // The device's console port, 8002 unless a front end is told otherwise (after InitDialog).
    void SetConsolePort(std::uint16_t port) { consolePort_ = port; }
    // The two update buttons.
    void OnFirmwareButton();
    void OnScriptButton();
    // What a front end can ask beside the buttons: the device's firmware version read and nothing else
    // changed (but the version script on B:), and the autoscript restore alone.
    void OnVersionQuery();
    void OnRestoreAutoscript();
    // Where the record of moved-aside autoscripts is kept; empty (the default) keeps none.
    void SetJournalFolder(std::string folder) { journal_ = InterruptionJournal(std::move(folder)); }
    // Checks the package when an update starts; none (the default) takes the package as it is.
    void SetPackageGate(PackageGate* gate) { packageGate_ = gate; }

    // Procedures. Virtual so that a test double can watch the controller call them.
    virtual void StartFirmwareUpdate();
    virtual int StartScriptTransfer();
    virtual void StartAutoScript(UpdateMode mode);
    virtual void SendReboot();
    virtual void FirmwareStepRunGetSysVer();
    virtual void FirmwareStepCheckVersion();
    virtual void FirmwareStepConfirmSysup();
    virtual void FirmwareStepWaitExpansion();
    virtual void ScriptStepLockOff();
    virtual void ScriptStepMakeFolder();
    virtual void ScriptStepTransfer();
    virtual void AutoScriptStepRun();
    virtual void AutoScriptStepWait();
    virtual void StartVersionQuery();
    virtual void VersionQueryStepRead();
    bool WriteAutoScriptFile();
    int DescrambleUpdateFiles();
    int DescrambleFile(const std::string& sourcePath, const std::string& destinationPath);
    int UploadUpdateFiles();
    void FinishScriptFailure();

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
    std::int32_t secondPass() const { return secondPass_; }
    const std::string& programDirectory() const { return programDirectory_; }
    const UpdateHeader& header() const { return header_; }
    // The folder of this run's own files, empty until the first of them is written.
    const std::string& workFolder() const { return workFolder_.existingPath(); }
    std::uint8_t scrambleKey() const { return scrambleKey_; }
    const std::vector<UpdateFileEntry>& updateFiles() const { return updateFiles_; }
    const std::array<char, kReceiveBufferSize>& receiveBuffer() const { return receiveBuffer_; }
    // True while the transfer step sends the update files; console events wait until it has ended.
    bool transferInProgress() const { return transferInProgress_; }
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
    // The login steps: the ID or password line, then the next step with the watchdog armed.
    void SendLoginLine(std::int32_t nextStep, std::string_view status, const std::string& text,
                       std::string_view failureMessage);
    // A step's command to the device: a pause to let the device settle, the command, a short pause, then
    // the watchdog, which is armed even after a short send so that its expiry ends the procedure.
    void SendStepCommand(std::string_view command, std::string_view failureMessage);
    // Sends one command; a short send is reported with failureMessage, and the caller carries on.
    void SendCommandOrReport(std::string_view command, std::string_view failureMessage);
    // Counts one more console event of a waiting step in the poll counter. Past the step's limit it reports
    // the failure instead and returns false.
    bool CountPolledEvent(std::int32_t limit, std::string_view failure);
    // The index of the first of the patterns found in the latest block, scanning start positions 0 to 199
    // in increasing order and, at each, the patterns in the order given.
    std::optional<std::size_t> ScanReply(std::initializer_list<std::string_view> patterns) const;

    DialogHost& host_;
    WindowTimers& timers_;
    EventPump& events_;
    SocketFactory& sockets_;
    FileUploader& uploader_;
    UpdateObserver& observer_;

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
    // The device address_ reaches, in one spelling; the interruption record is kept under it.
    std::string deviceKey_;
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
    // Marks a call from outside (a button, a timer, a socket notification) as running. When the outermost one
    // returns, an update that has nothing pending any more is reported to the observer.
    class EntryScope {
    public:
        explicit EntryScope(CTesselDlg& dialog) : dialog_(dialog) { ++dialog_.entryDepth_; }
        ~EntryScope();
        EntryScope(const EntryScope&) = delete;
        EntryScope& operator=(const EntryScope&) = delete;

    private:
        CTesselDlg& dialog_;
    };

    // The outcome of an update that is still running and was not reported yet goes out first.
    void BeginUpdate(UpdateProcedure procedure);
    // Runs the restore in place of the update asked for when an earlier update of the device was cut off
    // between its move-aside and its restore; true when it did.
    bool RestoreFirstIfInterrupted();
    // Records the device before its autoscript is moved aside; false after reporting that it cannot.
    bool RecordMoveAside();
    // True while something can still change the device: a connection or a step waiting for the device, the
    // restart wait, a watchdog whose expiry starts the autoscript restore or ends a waiting procedure.
    bool UpdatePending() const;
    void ReportOutcomeIfEnded();
    void ReportOutcome();
    void RecordFirmwareVersion();

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

    void consoleConnected(int errorCode) override;
    void consoleReadable(CConsoleSocket& socket, int errorCode) override;
    // Ends a start operation before its connection: status line, box, detail line cleared.
    bool ReportStartFailure(std::string_view status, std::string_view box);
    // The package gate's word on the package for the update; false after reporting a refusal.
    bool AdmitPackage(UpdateProcedure procedure);

    // Package files and uploads (procedures/).
    std::string PackageFilePath(std::string_view fileName) const;
    // The path of a package file, or nullopt after reporting that the program directory is too long for it.
    std::optional<std::string> CheckedPackageFilePath(std::string_view fileName);
    // A local path as the operator reads it: the program or work folder as it is, the file name from code
    // page 932.
    std::string DisplayPath(std::string_view path) const;
    // The path of a file the run writes itself, or nullopt after reporting that its work folder cannot be made.
    std::optional<std::string> CheckedWorkFilePath(std::string_view fileName);
    int UploadToDevice(const std::string& localPath, const std::string& remotePath);
    void DeletePlainCopies();
    bool TransferUpdateFiles();
    void ReleaseHeldConsoleEvent();

    bool watchdogArmed_ = false;
    bool reconnectArmed_ = false;
    bool buttonsEnabled_ = true;
    int entryDepth_ = 0;
    bool updateRunning_ = false;
    InterruptionJournal journal_;
    PackageGate* packageGate_ = nullptr;
    // Where the running update reads the package: the program directory, or the gate's checked copy of it.
    std::string packageDirectory_;
    UpdateOutcome outcome_;
    bool transferInProgress_ = false;
    // The plain copies and the generated script; the package folder is only read.
    WorkFolder workFolder_;
    // The plain copies the running script transfer has written.
    std::vector<std::string> plainCopies_;
    // A console event that arrived during the transfer, and the connection that was current then.
    bool consoleEventHeld_ = false;
    std::uint64_t heldEventConnection_ = 0;
    // Last, so that its sockets, which report to this dialog, go first.
    ConsoleConnection console_{sockets_, *this};
};

}  // namespace tessel
