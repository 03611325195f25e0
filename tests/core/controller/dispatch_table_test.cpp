#include <map>
#include <string>

#include "controller_fixture.h"

namespace tessel::sim {
namespace {

// What one console event does at each mode and step, as the controller's table says.
std::string ExpectedAction(UpdateMode mode, std::int32_t step) {
    if (step == 0) return "login id";
    if (step == 1) return "password";
    static const std::map<std::pair<int, int>, std::string> table = {
        {{AutoscriptMoveAside, 2}, "AutoScriptStepRun"},   {{AutoscriptMoveAside, 5}, "AutoScriptStepWait"},
        {{AutoscriptMoveAside, 13}, "restart wait"},       {{AutoscriptRestore, 2}, "AutoScriptStepRun"},
        {{AutoscriptRestore, 5}, "AutoScriptStepWait"},    {{AutoscriptRestore, 13}, "restart wait"},
        {{FirmwareUpdate, 2}, "FirmwareStepRunGetSysVer"}, {{FirmwareUpdate, 6}, "FirmwareStepCheckVersion"},
        {{FirmwareUpdate, 7}, "FirmwareStepConfirmSysup"}, {{FirmwareUpdate, 8}, "FirmwareStepWaitExpansion"},
        {{FirmwareUpdate, 14}, "restart wait"},            {{ScriptTransfer, 2}, "ScriptStepLockOff"},
        {{ScriptTransfer, 4}, "ScriptStepMakeFolder"},     {{ScriptTransfer, 10}, "ScriptStepTransfer"},
        {{ScriptTransfer, 11}, "transfer done"},
    };
    const auto found = table.find({mode, step});
    return found == table.end() ? "" : found->second;
}

class DispatchTableTest : public ::testing::TestWithParam<UpdateMode> {};

TEST_P(DispatchTableTest, EachStepRunsItsHandlerOnceAndStepsWithoutOneChangeNothing) {
    const UpdateMode mode = GetParam();
    for (std::int32_t step = -1; step <= 15; ++step) {
        if (step == CTesselDlg::kStepRestartWait) continue;  // the end of the restart wait has tests of its own
        SCOPED_TRACE("step " + std::to_string(step));
        SimWorld world;
        ConnectIn(world, mode);
        world.dialog.setStep(step);
        const std::string sentBefore = world.network.allSent();
        world.dialog.OnConsoleEvent();

        const std::string action = ExpectedAction(mode, step);
        const std::string sent = world.network.allSent().substr(sentBefore.size());
        if (action.empty()) {
            EXPECT_TRUE(world.dialog.calls.empty());
            EXPECT_EQ(world.dialog.step(), step);
            EXPECT_EQ(world.dialog.updateMode(), mode);
            EXPECT_EQ(world.dialog.linkDown(), 0);
            EXPECT_EQ(world.dialog.pollCounter(), 0);
            EXPECT_TRUE(world.host.boxes.empty());
            EXPECT_TRUE(world.host.statusHistory.empty());
            EXPECT_TRUE(sent.empty());
            EXPECT_FALSE(world.host.isTimerArmed(CTesselDlg::kReconnectTimerId));
            EXPECT_FALSE(world.host.isTimerArmed(CTesselDlg::kWatchdogTimerId));
        } else if (action == "login id") {
            EXPECT_EQ(world.dialog.step(), 1);
            EXPECT_EQ(sent, "admin\r");
        } else if (action == "password") {
            EXPECT_EQ(world.dialog.step(), 2);
            EXPECT_EQ(sent, "secret\r");
        } else if (action == "restart wait") {
            EXPECT_EQ(world.dialog.step(), CTesselDlg::kStepRestartWait);
            EXPECT_EQ(world.dialog.linkDown(), -1);
            EXPECT_EQ(world.status(), "再起動中");
            EXPECT_TRUE(world.host.isTimerArmed(CTesselDlg::kReconnectTimerId));
            EXPECT_FALSE(world.host.isTimerArmed(CTesselDlg::kWatchdogTimerId));
        } else if (action == "transfer done") {
            EXPECT_EQ(world.dialog.scriptResult(), 1);
            EXPECT_EQ(world.dialog.calls, std::vector<std::string>{"SendReboot"});
            EXPECT_EQ(sent, "reboot\r");
            EXPECT_EQ(world.dialog.step(), CTesselDlg::kStepRestartWait);
        } else if (action == "ScriptStepTransfer") {
            // The transfer enters step 11 itself once its files are sent.
            EXPECT_EQ(world.dialog.calls, (std::vector<std::string>{action, "SendReboot"}));
        } else {
            EXPECT_EQ(world.dialog.calls, std::vector<std::string>{action});
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllModes, DispatchTableTest,
                         ::testing::Values(AutoscriptMoveAside, AutoscriptRestore, FirmwareUpdate, ScriptTransfer));

TEST_F(ControllerTest, AnEventWithoutAConnectionOutsideTheRestartWaitIsAConnectionError) {
    connectIn(FirmwareUpdate);
    world.dialog.setStep(6);
    world.dialog.setLinkDown(-1);
    world.dialog.OnConsoleEvent();
    EXPECT_EQ(world.lastBox(), "接続エラー");
    EXPECT_EQ(world.dialog.step(), CTesselDlg::kStepStopped);
    EXPECT_TRUE(world.dialog.calls.empty());
}

TEST_F(ControllerTest, TransferDoneWithTheMoveFlagClosesTheConsoleAndStartsTheRestore) {
    connectIn(ScriptTransfer);
    world.dialog.setMoveFlag(1);
    world.dialog.setStep(CTesselDlg::kStepTransferDone);
    const std::string sentBefore = world.network.allSent();
    world.dialog.OnConsoleEvent();
    EXPECT_EQ(world.dialog.scriptResult(), 1);
    EXPECT_EQ(world.dialog.calls, std::vector<std::string>{"StartAutoScript(1)"});
    EXPECT_EQ(world.dialog.updateMode(), AutoscriptRestore);
    EXPECT_EQ(world.network.allSent(), sentBefore);
    EXPECT_EQ(world.device.closedByClient, 1);
}

TEST_F(ControllerTest, AFailedRestartCommandAfterTheTransferIsNotCoveredByTheRestartWait) {
    connectIn(ScriptTransfer);
    world.dialog.setStep(CTesselDlg::kStepTransferDone);
    world.network.shortSend = [] { return true; };
    world.dialog.OnConsoleEvent();
    EXPECT_EQ(world.lastBox(), "reboot 送信 Error!!");
    EXPECT_EQ(world.status(), "reboot 送信 Error!!");
    EXPECT_EQ(world.dialog.step(), CTesselDlg::kStepStopped);
    EXPECT_FALSE(world.host.isTimerArmed(CTesselDlg::kReconnectTimerId));
    EXPECT_TRUE(world.buttonsEnabled());
}

}  // namespace
}  // namespace tessel::sim
