#include <gtest/gtest.h>

#include <string>

#include "sim_world.h"

namespace tessel::sim {
namespace {

class LoginTest : public ::testing::Test {
protected:
    bool inStep(std::int32_t step) const { return world.dialog.step() == step; }
    // Runs events until the login phase is over: the step has moved past 2, or the login failed.
    void runLogin() {
        for (int i = 0; i < 1000 && world.dialog.step() >= 0 && world.dialog.step() <= 2; ++i) {
            if (!world.scheduler.runNext()) break;
        }
    }
    const std::string& sent() { return world.network.sentByLink().at(1); }

    SimWorld world;
};

TEST_F(LoginTest, TheLoginIsBlindIdAtConnectPasswordOnTheNextBlock) {
    world.dialog.OnFirmwareButton();
    runLogin();
    EXPECT_EQ(world.dialog.step(), 6);
    EXPECT_EQ(sent(), "admin\rsecret\rexec \"B:\\GetSysVer.wcr\"\r");
    EXPECT_EQ(world.device.logins, 1);
    ASSERT_EQ(world.host.statusHistory.size(), 4u);
    EXPECT_EQ(world.host.statusHistory[1], "ログインID送信");
    EXPECT_EQ(world.host.statusHistory[2], "パスワード送信");
}

TEST_F(LoginTest, ThePasswordGoesOnTheEchoOfTheIdWhenThereIsNoBanner) {
    world.device.banner.clear();
    world.dialog.OnFirmwareButton();
    runLogin();
    EXPECT_EQ(sent(), "admin\rsecret\rexec \"B:\\GetSysVer.wcr\"\r");
    EXPECT_EQ(world.device.logins, 1);
}

TEST_F(LoginTest, EachLoginStepWaits300msAndArmsTheWatchdog) {
    world.dialog.OnFirmwareButton();
    ASSERT_TRUE(world.scheduler.runNext());  // the connect
    EXPECT_EQ(world.dialog.step(), 1);
    EXPECT_EQ(world.host.pausedTotal, 100 + 300);
    EXPECT_EQ(world.host.timerDue(CTesselDlg::kWatchdogTimerId), world.scheduler.now() + 60000);
}

TEST_F(LoginTest, EmptyCredentialsAreSentAsALoneCr) {
    world.host.setControlText(kLoginIdEdit, "");
    world.host.setControlText(kPasswordEdit, "");
    world.device.loginId.clear();
    world.device.password.clear();
    world.dialog.OnFirmwareButton();
    runLogin();
    EXPECT_EQ(sent().substr(0, 2), "\r\r");
    EXPECT_EQ(world.device.logins, 1);
}

TEST_F(LoginTest, ARejectedLoginIsReportedAndTheWatchdogFollows) {
    world.host.setControlText(kPasswordEdit, "wrong");
    world.dialog.OnFirmwareButton();
    runLogin();
    EXPECT_EQ(world.dialog.step(), CTesselDlg::kStepStopped);
    EXPECT_EQ(world.lastBox(), "ログイン Error!!");
    EXPECT_EQ(world.status(), "ログイン Error!!");
    EXPECT_FALSE(world.dialog.consoleOpen());
    EXPECT_TRUE(world.buttonsEnabled());
    EXPECT_TRUE(world.host.isTimerArmed(CTesselDlg::kWatchdogTimerId));
    ASSERT_TRUE(world.settle());
    EXPECT_EQ(world.lastBox(), "アップデート処理に失敗しました。");
}

TEST_F(LoginTest, ASendThatLosesBytesIsReportedAndTheStepStillArmsTheWatchdog) {
    world.network.shortSend = [] { return true; };
    world.dialog.OnFirmwareButton();
    ASSERT_TRUE(world.scheduler.runNext());
    EXPECT_EQ(world.lastBox(), "ID 送信 Error!!");
    EXPECT_EQ(world.dialog.step(), CTesselDlg::kStepStopped);
    EXPECT_EQ(world.host.pausedTotal, 100 + 300);
    EXPECT_TRUE(world.host.isTimerArmed(CTesselDlg::kWatchdogTimerId));
}

TEST_F(LoginTest, APasswordThatIsNotSentWholeIsReported) {
    world.dialog.OnFirmwareButton();
    ASSERT_TRUE(world.scheduler.runNext());
    world.network.shortSend = [] { return true; };
    ASSERT_TRUE(world.scheduler.runNext());
    EXPECT_EQ(world.lastBox(), "パスワード送信 Error!!");
    EXPECT_TRUE(world.host.isTimerArmed(CTesselDlg::kWatchdogTimerId));
}

class CheckLoginTest : public ::testing::Test {
protected:
    LoginCheck check(const std::string& block, std::int32_t pollCounter = 0) {
        world.dialog.setStep(2);
        world.dialog.setPollCounter(pollCounter);
        world.dialog.setReceived(block);
        return world.dialog.CheckLogin();
    }
    static std::string at(std::size_t offset, const std::string& text) { return std::string(offset, '.') + text; }

    SimWorld world;
};

TEST_F(CheckLoginTest, ThePromptCountsAnywhereInTheFirst200Bytes) {
    EXPECT_EQ(check(">"), LoginCheck::Accepted);
    EXPECT_EQ(check("Last login: today\r\nadmin@device>"), LoginCheck::Accepted);
    EXPECT_EQ(check(at(199, ">")), LoginCheck::Accepted);
    EXPECT_EQ(check(at(200, ">")), LoginCheck::Waiting);
    EXPECT_EQ(check(std::string("\0>", 2)), LoginCheck::Accepted);
    EXPECT_EQ(check(""), LoginCheck::Waiting);
    EXPECT_TRUE(world.host.boxes.empty());
}

TEST_F(CheckLoginTest, TheRejectionCountsOnlyBeforeAnyPrompt) {
    EXPECT_EQ(check("\r\nLogin incorrect\r\nlogin: "), LoginCheck::Failed);
    EXPECT_EQ(world.lastBox(), "ログイン Error!!");
    EXPECT_EQ(world.dialog.step(), CTesselDlg::kStepStopped);
    EXPECT_EQ(check(at(199, "Login incorrect")), LoginCheck::Failed);
    EXPECT_EQ(check(at(200, "Login incorrect")), LoginCheck::Waiting);
    EXPECT_EQ(check("> Login incorrect"), LoginCheck::Accepted);
    EXPECT_EQ(check("Login incorrect >"), LoginCheck::Failed);
}

TEST_F(CheckLoginTest, OtherLetterCasesOrASplitRejectionAreNotRecognised) {
    EXPECT_EQ(check("login incorrect"), LoginCheck::Waiting);
    EXPECT_EQ(check("LOGIN INCORRECT"), LoginCheck::Waiting);
    EXPECT_EQ(check("Login inc"), LoginCheck::Waiting);
    EXPECT_EQ(check("orrect"), LoginCheck::Waiting);
    EXPECT_TRUE(world.host.boxes.empty());
}

TEST_F(CheckLoginTest, EachEventIsCountedAndThe32ndFailsEvenWithThePrompt) {
    world.dialog.setPollCounter(0);
    world.dialog.setStep(2);
    world.dialog.setReceived("Password:");
    for (int event = 1; event <= 31; ++event) ASSERT_EQ(world.dialog.CheckLogin(), LoginCheck::Waiting);
    EXPECT_EQ(world.dialog.pollCounter(), 31);
    EXPECT_EQ(check(">", 30), LoginCheck::Accepted);
    EXPECT_EQ(world.dialog.pollCounter(), 31);
    EXPECT_TRUE(world.host.boxes.empty());
    EXPECT_EQ(check(">", 31), LoginCheck::Failed);
    EXPECT_EQ(world.lastBox(), "ログイン Error!!");
}

TEST_F(LoginTest, ThePromptMustComeWithin31EventsAtStep2) {
    world.device.prompt = "\r\nwelcome";
    world.device.commandReplies = [](const std::string&) { return std::vector<std::string>{"still waiting"}; };
    world.dialog.OnFirmwareButton();
    world.scheduler.runFor(5000);
    ASSERT_EQ(world.dialog.step(), 2);
    // The echo of the ID and the device's greeting were the first two events at step 2.
    EXPECT_EQ(world.dialog.pollCounter(), 2);
    // Every further line the device answers is one more event at step 2.
    for (int event = 0; event < 29; ++event) world.network.sendToClient(1, "no prompt yet");
    world.scheduler.runFor(100);
    EXPECT_EQ(world.dialog.pollCounter(), 31);
    EXPECT_TRUE(world.host.boxes.empty());
    world.network.sendToClient(1, ">");
    world.scheduler.runFor(100);
    EXPECT_EQ(world.lastBox(), "ログイン Error!!");
    EXPECT_FALSE(world.dialog.consoleOpen());
}

}  // namespace
}  // namespace tessel::sim
