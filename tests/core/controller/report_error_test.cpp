#include <string>

#include "controller_fixture.h"

namespace tessel::sim {
namespace {

TEST_F(ControllerTest, ReportErrorStopsTheProcedureBeforeItsBoxOpens) {
    connectIn(FirmwareUpdate);
    world.dialog.setStep(6);
    world.host.enableControl(kFirmwareButton, false);
    world.host.enableControl(kScriptButton, false);
    world.host.setControlText(kDetailLine, "detail");
    world.dialog.armWatchdog();

    std::int32_t stepWhileOpen = 0;
    bool consoleOpenWhileOpen = true;
    world.host.onMessageBox = [&](const RecordedBox&) {
        stepWhileOpen = world.dialog.step();
        consoleOpenWhileOpen = world.dialog.consoleOpen();
        // An event that the box's message loop dispatches finds no handler.
        world.dialog.OnConsoleEvent();
        return MessageResult::Ok;
    };
    world.dialog.ReportError("sysup 送信 Error!!");

    EXPECT_EQ(stepWhileOpen, CTesselDlg::kStepStopped);
    EXPECT_FALSE(consoleOpenWhileOpen);
    EXPECT_TRUE(world.dialog.calls.empty());
    ASSERT_EQ(world.host.boxes.size(), 1u);
    EXPECT_EQ(world.lastBox(), "sysup 送信 Error!!");
    EXPECT_EQ(world.host.boxes.back().icon, MessageIcon::Warning);
    EXPECT_EQ(world.host.boxes.back().buttons, MessageButtons::Ok);
    EXPECT_TRUE(world.buttonsEnabled());
    EXPECT_EQ(world.status(), "sysup 送信 Error!!");
    EXPECT_EQ(world.host.controlText(kDetailLine), "");
    EXPECT_EQ(world.dialog.updateMode(), FirmwareUpdate);
}

TEST_F(ControllerTest, ReportErrorLeavesTheWatchdogRunning) {
    connectIn(FirmwareUpdate);
    world.dialog.armWatchdog();
    world.scheduler.runFor(1000);
    world.dialog.ReportError("getsysver ack Error !!");
    EXPECT_TRUE(world.host.isTimerArmed(CTesselDlg::kWatchdogTimerId));
    world.scheduler.runFor(59000);
    EXPECT_EQ(world.lastBox(), "アップデート処理に失敗しました。");
    EXPECT_EQ(world.host.boxes.size(), 2u);
    EXPECT_EQ(world.dialog.step(), 0);
}

TEST_F(ControllerTest, ReportErrorWithoutAConsoleStillReports) {
    world.dialog.ReportError("ログイン Error!!");
    EXPECT_EQ(world.lastBox(), "ログイン Error!!");
    EXPECT_EQ(world.dialog.step(), CTesselDlg::kStepStopped);
}

}  // namespace
}  // namespace tessel::sim
