#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "controller_fixture.h"

namespace tessel::sim {
namespace {

using Calls = std::vector<std::string>;
constexpr int kReconnect = CTesselDlg::kReconnectTimerId;

class RestartWaitTest : public ControllerTest {
protected:
    // Runs a whole procedure from its button until nothing is left to happen.
    void runToEnd() { ASSERT_TRUE(world.settle()); }

    bool inRestartWait() const { return world.dialog.step() == CTesselDlg::kStepRestartWait; }

    // The controller waits for the device in step 12 with the given mode, as after its restart command.
    void enterWaitIn(UpdateMode mode) {
        connectIn(mode);
        world.dialog.setStep(mode == FirmwareUpdate ? CTesselDlg::kStepFirmwareRebootSent
                                                    : CTesselDlg::kStepAutoscriptRebootSent);
        if (mode == ScriptTransfer) world.dialog.setStep(CTesselDlg::kStepTransferDone);
        world.dialog.OnConsoleEvent();
        ASSERT_TRUE(inRestartWait());
        ForgetRecords(world);
    }

    // Lets the reconnect timer run out and the device accept the new connection.
    void reconnect() {
        const int before = world.network.socketsCreated();
        ASSERT_TRUE(runUntil([&] { return world.network.socketsCreated() > before; }));
        SimSocket* socket = world.network.newestSocket();
        ASSERT_TRUE(runUntil([&] { return !socket->isConnecting(); }));
    }
};

TEST_F(RestartWaitTest, FirmwareUpdateEndsWhenTheRestartedDeviceAcceptsAConnection) {
    world.dialog.OnFirmwareButton();
    runToEnd();
    EXPECT_EQ(world.device.commands.back(), "reboot");
    EXPECT_EQ(world.device.connections, 2);
    EXPECT_EQ(world.host.boxes.size(), 1u);
    EXPECT_EQ(world.lastBox(), "ファームウェア・アップデートが終了しました。");
    EXPECT_EQ(world.host.boxes.back().icon, MessageIcon::Information);
    EXPECT_EQ(world.status(), "ファームウェア・アップデート終了");
    EXPECT_EQ(world.host.controlText(kDetailLine), "");
    EXPECT_TRUE(world.buttonsEnabled());
    EXPECT_EQ(world.dialog.step(), 0);
    EXPECT_FALSE(world.dialog.consoleOpen());
}

TEST_F(RestartWaitTest, FirmwareUpdateRunsASecondPassOnceWhenTheFirstAsksForIt) {
    world.device.firmwareVersion = "01.06.99";
    world.dialog.OnFirmwareButton();
    runToEnd();
    EXPECT_EQ(std::count(world.dialog.calls.begin(), world.dialog.calls.end(), "StartFirmwareUpdate"), 2);
    EXPECT_EQ(std::count(world.device.commands.begin(), world.device.commands.end(), "reboot"), 2);
    EXPECT_EQ(world.dialog.firmwarePass(), 1);
    ASSERT_EQ(world.host.boxes.size(), 1u);
    EXPECT_EQ(world.lastBox(), "ファームウェア・アップデートが終了しました。");
    EXPECT_TRUE(world.buttonsEnabled());
}

TEST_F(RestartWaitTest, ScriptUpdateWithoutMoveRestartsAfterTheTransferAndReportsSuccess) {
    world.dialog.OnScriptButton();
    runToEnd();
    EXPECT_EQ(world.dialog.calls.front(), "StartScriptTransfer");
    EXPECT_EQ(world.dialog.calls.back(), "SendReboot");
    EXPECT_EQ(world.lastBox(), "スクリプト・アップデートが終了しました。");
    EXPECT_EQ(world.status(), "スクリプト・アップデート終了");
    EXPECT_TRUE(world.buttonsEnabled());
}

TEST_F(RestartWaitTest, ScriptUpdateWithMoveRunsMoveAsideTransferAndRestore) {
    world.dialog.setMoveFlag(1);
    world.dialog.OnScriptButton();
    runToEnd();
    Calls starts;
    std::copy_if(world.dialog.calls.begin(), world.dialog.calls.end(), std::back_inserter(starts),
                 [](const std::string& call) { return call.starts_with("Start"); });
    EXPECT_EQ(starts, (Calls{"StartAutoScript(0)", "StartScriptTransfer", "StartAutoScript(1)"}));
    EXPECT_EQ(std::count(world.device.commands.begin(), world.device.commands.end(), "reboot"), 2);
    ASSERT_EQ(world.host.boxes.size(), 1u);
    EXPECT_EQ(world.lastBox(), "スクリプト・アップデートが終了しました。");
    EXPECT_EQ(world.status(), "スクリプト・アップデート終了");
    EXPECT_TRUE(world.buttonsEnabled());
}

TEST_F(RestartWaitTest, ARefusedReconnectShowsNoBoxAndIsRetried2000msAfterTheFailure) {
    world.dialog.OnFirmwareButton();
    ASSERT_TRUE(runUntil([&] { return inRestartWait(); }));
    world.device.down = true;
    const std::size_t boxesBefore = world.host.boxes.size();
    Millis previousFailure = -1;
    for (int attempt = 0; attempt < 4; ++attempt) {
        const int before = world.network.socketsCreated();
        ASSERT_TRUE(runUntil([&] { return world.network.socketsCreated() > before; }));
        if (previousFailure >= 0) {
            EXPECT_EQ(world.scheduler.now(), previousFailure + 2000);
        }
        SimSocket* socket = world.network.newestSocket();
        ASSERT_TRUE(runUntil([&] { return !socket->isConnecting(); }));
        previousFailure = world.scheduler.now();
        EXPECT_EQ(world.dialog.linkDown(), -1);
        EXPECT_TRUE(inRestartWait());
        ASSERT_TRUE(world.host.isTimerArmed(kReconnect));
        EXPECT_EQ(world.host.timerDue(kReconnect), previousFailure + 2000);
    }
    EXPECT_EQ(world.host.boxes.size(), boxesBefore);
    EXPECT_TRUE(world.buttonsDisabled());

    world.device.down = false;
    runToEnd();
    EXPECT_EQ(world.lastBox(), "ファームウェア・アップデートが終了しました。");
}

TEST_F(RestartWaitTest, DataOnTheOldConnectionStartsThe2000msOver) {
    enterWaitIn(FirmwareUpdate);
    const Millis entered = world.scheduler.now();
    EXPECT_EQ(world.host.timerDue(kReconnect), entered + 2000);
    world.scheduler.runFor(1500);
    world.network.sendToClient(1, "late output");
    world.scheduler.runFor(world.network.latency);
    EXPECT_EQ(world.host.timerDue(kReconnect), world.scheduler.now() + 2000);
    EXPECT_EQ(world.network.socketsCreated(), 1);
    EXPECT_TRUE(inRestartWait());
}

TEST_F(RestartWaitTest, TheEndOfTheWaitAfterMoveAsideStartsTheTransferOnAFreshConnection) {
    enterWaitIn(AutoscriptMoveAside);
    reconnect();
    EXPECT_EQ(world.dialog.calls, Calls{"StartScriptTransfer"});
    EXPECT_EQ(world.dialog.updateMode(), ScriptTransfer);
    EXPECT_EQ(world.device.closedByClient, 1);
    ASSERT_EQ(world.network.socketsCreated(), 3);
    EXPECT_TRUE(world.network.newestSocket()->isConnecting());
    EXPECT_FALSE(world.host.isTimerArmed(kReconnect));
    EXPECT_TRUE(world.buttonsDisabled());
    EXPECT_TRUE(world.host.boxes.empty());
}

struct EndCase {
    UpdateMode mode;
    int scriptResult;
    const char* status;
    const char* box;
};

class RestartWaitEndTest : public RestartWaitTest, public ::testing::WithParamInterface<EndCase> {};

TEST_P(RestartWaitEndTest, TheEndOfTheWaitShowsTheResultAndFreesTheButtons) {
    const EndCase& c = GetParam();
    enterWaitIn(c.mode);
    world.dialog.setScriptResult(c.scriptResult);
    world.host.setControlText(kDetailLine, "detail");
    reconnect();
    ASSERT_EQ(world.host.boxes.size(), 1u);
    EXPECT_EQ(world.lastBox(), c.box);
    EXPECT_EQ(world.host.boxes.back().icon, MessageIcon::Information);
    EXPECT_EQ(world.status(), c.status);
    EXPECT_EQ(world.host.controlText(kDetailLine), "");
    EXPECT_EQ(world.dialog.step(), 0);
    EXPECT_TRUE(world.buttonsEnabled());
    EXPECT_FALSE(world.dialog.consoleOpen());
    EXPECT_FALSE(world.host.isTimerArmed(kReconnect));
    EXPECT_TRUE(world.dialog.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(
    EachMode, RestartWaitEndTest,
    ::testing::Values(
        EndCase{AutoscriptRestore, 1, "スクリプト・アップデート終了", "スクリプト・アップデートが終了しました。"},
        EndCase{AutoscriptRestore, 0, "スクリプト・アップデートできませんでした。",
                "スクリプト・アップデートができませんでした。"},
        EndCase{ScriptTransfer, 1, "スクリプト・アップデート終了", "スクリプト・アップデートが終了しました。"},
        EndCase{FirmwareUpdate, 0, "ファームウェア・アップデート終了", "ファームウェア・アップデートが終了しました。"}));

TEST_F(RestartWaitTest, ASecondPassThatCannotStartFreesTheButtons) {
    world.device.firmwareVersion = "01.06.99";
    world.dialog.OnFirmwareButton();
    ASSERT_TRUE(runUntil([&] { return inRestartWait(); }));
    world.uploader.results = {kUploadNoConnection};
    runToEnd();
    EXPECT_EQ(world.lastBox(), "FTP送信エラー(コネクションエラー)");
    EXPECT_TRUE(world.buttonsEnabled());
    EXPECT_FALSE(world.dialog.consoleOpen());
}

TEST_F(RestartWaitTest, ADeviceThatNeverAnswersTheRestartCommandFailsByTheWatchdog) {
    world.dialog.OnFirmwareButton();
    // The expansion's result is on its way when the device falls silent.
    ASSERT_TRUE(runUntil([&] { return !world.device.commands.empty() && world.device.commands.back() == "y"; }));
    world.device.faults.silence = 1.0;
    ASSERT_TRUE(runUntil([&] { return world.dialog.step() == CTesselDlg::kStepFirmwareRebootSent; }));
    EXPECT_TRUE(world.host.isTimerArmed(CTesselDlg::kWatchdogTimerId));
    runToEnd();
    EXPECT_EQ(world.device.commands.back(), "reboot");
    ASSERT_EQ(world.host.boxes.size(), 1u);
    EXPECT_EQ(world.lastBox(), "アップデート処理に失敗しました。");
    EXPECT_TRUE(world.buttonsEnabled());
}

TEST_F(RestartWaitTest, TheEchoOfTheRestartCommandStopsTheWatchdog) {
    world.dialog.OnFirmwareButton();
    ASSERT_TRUE(runUntil([&] { return inRestartWait(); }));
    EXPECT_FALSE(world.host.isTimerArmed(CTesselDlg::kWatchdogTimerId));
}

TEST_F(RestartWaitTest, AReconnectThatCannotStartIsTriedAgainLater) {
    enterWaitIn(FirmwareUpdate);
    world.network.failCreate = true;
    world.scheduler.runFor(2000);
    EXPECT_TRUE(world.host.isTimerArmed(kReconnect));
    world.network.failCreate = false;
    world.network.unresolvableHosts.insert(world.dialog.address());
    world.scheduler.runFor(2000);
    EXPECT_TRUE(world.host.isTimerArmed(kReconnect));
    world.network.unresolvableHosts.clear();
    runToEnd();
    EXPECT_EQ(world.lastBox(), "ファームウェア・アップデートが終了しました。");
}

}  // namespace
}  // namespace tessel::sim
