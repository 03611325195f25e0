#include <string>
#include <vector>

#include "controller_fixture.h"

namespace tessel::sim {
namespace {

constexpr int kWatchdog = CTesselDlg::kWatchdogTimerId;

class WatchdogTest : public ControllerTest, public ::testing::WithParamInterface<UpdateMode> {};

TEST_P(WatchdogTest, ExpiryFailsTheProcedureAndFreesTheButtons) {
    connectIn(GetParam());
    world.dialog.setStep(6);
    world.host.enableControl(kFirmwareButton, false);
    world.host.enableControl(kScriptButton, false);
    world.host.setControlText(kDetailLine, "detail");
    world.dialog.armWatchdog();
    world.scheduler.runFor(59999);
    EXPECT_TRUE(world.host.boxes.empty());
    world.scheduler.runFor(1);

    ASSERT_EQ(world.host.boxes.size(), 1u);
    EXPECT_EQ(world.lastBox(), "アップデート処理に失敗しました。");
    EXPECT_EQ(world.host.boxes.back().icon, MessageIcon::Information);
    EXPECT_EQ(world.status(), "アップデート処理に失敗しました。");
    EXPECT_EQ(world.host.controlText(kDetailLine), "");
    EXPECT_EQ(world.dialog.step(), 0);
    EXPECT_TRUE(world.buttonsEnabled());
    EXPECT_FALSE(world.dialog.consoleOpen());
    EXPECT_FALSE(world.host.isTimerArmed(kWatchdog));
    EXPECT_TRUE(world.dialog.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(AllModes, WatchdogTest,
                         ::testing::Values(AutoscriptMoveAside, AutoscriptRestore, FirmwareUpdate, ScriptTransfer));

TEST_F(ControllerTest, WatchdogExpiryInTheTransferWithMoveStartsTheRestore) {
    world.dialog.setMoveFlag(1);
    connectIn(ScriptTransfer);
    world.host.enableControl(kFirmwareButton, false);
    world.host.enableControl(kScriptButton, false);
    world.dialog.armWatchdog();
    world.scheduler.runFor(60000);
    ASSERT_EQ(world.host.boxes.size(), 1u);
    EXPECT_EQ(world.lastBox(),
              "アップデート処理に失敗しました。\n状態を元に戻しますので、[OK]をクリックして、しばらくお待ちください。");
    EXPECT_EQ(world.host.boxes.back().icon, MessageIcon::Information);
    EXPECT_EQ(world.dialog.calls, std::vector<std::string>{"StartAutoScript(1)"});
    EXPECT_TRUE(world.buttonsDisabled());
    EXPECT_EQ(world.device.closedByClient, 1);

    // The restore runs to its end and reports the script update as not done.
    ASSERT_TRUE(world.settle());
    EXPECT_EQ(world.lastBox(), "スクリプト・アップデートができませんでした。");
    EXPECT_EQ(world.status(), "スクリプト・アップデートできませんでした。");
    EXPECT_TRUE(world.buttonsEnabled());
}

TEST_F(ControllerTest, ASilentDeviceDuringTheTransferWithMoveEndsInTheRestore) {
    world.dialog.setMoveFlag(1);
    world.dialog.OnScriptButton();
    ASSERT_TRUE(runUntil([&] { return world.dialog.updateMode() == ScriptTransfer; }));
    world.device.faults.silence = 1.0;
    ASSERT_TRUE(runUntil([&] { return !world.host.boxes.empty(); }));
    world.device.faults.silence = 0;
    ASSERT_TRUE(world.settle());
    EXPECT_EQ(world.dialog.calls.back(), "AutoScriptStepWait");
    EXPECT_EQ(world.lastBox(), "スクリプト・アップデートができませんでした。");
    EXPECT_TRUE(world.buttonsEnabled());
}

TEST_F(ControllerTest, ArmingTheWatchdogAgainStartsItsPeriodOver) {
    connectIn(FirmwareUpdate);
    world.dialog.armWatchdog();
    world.scheduler.runFor(30000);
    world.dialog.armWatchdog();
    world.scheduler.runFor(59999);
    EXPECT_TRUE(world.host.boxes.empty());
    world.scheduler.runFor(1);
    EXPECT_EQ(world.lastBox(), "アップデート処理に失敗しました。");
}

TEST_F(ControllerTest, ARestoreThatCannotStartAfterTheWatchdogFreesTheButtons) {
    world.dialog.setMoveFlag(1);
    connectIn(ScriptTransfer);
    world.host.enableControl(kFirmwareButton, false);
    world.host.enableControl(kScriptButton, false);
    world.uploader.results = {kUploadNoConnection};
    world.dialog.armWatchdog();
    world.scheduler.runFor(60000);
    EXPECT_EQ(world.lastBox(), "FTP送信エラー(コネクションエラー)");
    EXPECT_TRUE(world.buttonsEnabled());
}

}  // namespace
}  // namespace tessel::sim
