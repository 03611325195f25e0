#include <gtest/gtest.h>

#include "sim_world.h"

namespace tessel::sim {
namespace {

class OpenConsoleTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(world.dialog.ValidateInput()); }

    void expectFailure(const char* status, const char* box) {
        EXPECT_FALSE(world.dialog.OpenConsole());
        EXPECT_EQ(world.status(), status);
        ASSERT_EQ(world.host.boxes.size(), 1u);
        EXPECT_EQ(world.lastBox(), box);
        EXPECT_EQ(world.host.boxes.back().icon, MessageIcon::Warning);
        EXPECT_EQ(world.host.controlText(kDetailLine), "");
        EXPECT_TRUE(world.buttonsEnabled());
        EXPECT_FALSE(world.dialog.consoleOpen());
        EXPECT_TRUE(world.settle());
        EXPECT_EQ(world.host.boxes.size(), 1u);
    }

    SimWorld world;
};

TEST_F(OpenConsoleTest, StartsTheConnectToTheConsolePortAndDisablesTheButtons) {
    world.host.setControlText(kDetailLine, "detail");
    EXPECT_TRUE(world.dialog.OpenConsole());
    EXPECT_EQ(world.dialog.step(), 0);
    EXPECT_EQ(world.host.pausedTotal, 100);
    EXPECT_TRUE(world.buttonsDisabled());
    ASSERT_NE(world.network.newestSocket(), nullptr);
    EXPECT_EQ(world.network.newestSocket()->host(), "192.168.1.200");
    EXPECT_EQ(world.network.newestSocket()->port(), 8002);
    EXPECT_TRUE(world.network.newestSocket()->isConnecting());
    EXPECT_TRUE(world.host.boxes.empty());
}

TEST_F(OpenConsoleTest, ASocketThatCannotBeCreatedIsReported) {
    world.network.failCreate = true;
    expectFailure("Sock 作成 Err!!", "Sock 作成 Err!!");
}

TEST_F(OpenConsoleTest, AnAddressThatCannotBeResolvedFailsTheConnectCall) {
    world.network.unresolvableHosts.insert("192.168.1.200");
    expectFailure("Connect Err!!", "Connect Err!!\nアドレスを確認してください");
}

TEST_F(OpenConsoleTest, FailureLeavesDisabledButtonsOfARunningChainAsTheyAre) {
    world.host.enableControl(kFirmwareButton, false);
    world.host.enableControl(kScriptButton, false);
    world.network.failCreate = true;
    EXPECT_FALSE(world.dialog.OpenConsole());
    EXPECT_TRUE(world.buttonsDisabled());
}

TEST_F(OpenConsoleTest, ARefusedConnectShowsTheCommunicationErrorThenTheConnectionError) {
    world.device.down = true;
    world.dialog.OnFirmwareButton();
    ASSERT_TRUE(world.settle());
    ASSERT_EQ(world.host.boxes.size(), 2u);
    EXPECT_EQ(world.host.boxes[0].text, "通信エラー\nIPアドレスや接続を確認してください");
    EXPECT_EQ(world.host.boxes[0].icon, MessageIcon::Warning);
    EXPECT_EQ(world.host.boxes[1].text, "接続エラー");
    EXPECT_EQ(world.status(), "接続エラー");
    EXPECT_EQ(world.dialog.linkDown(), -1);
    EXPECT_EQ(world.dialog.step(), CTesselDlg::kStepStopped);
    EXPECT_TRUE(world.buttonsEnabled());
}

TEST_F(OpenConsoleTest, SendCommandSucceedsOnlyWhenEveryByteIsTaken) {
    ASSERT_TRUE(world.dialog.OpenConsole());
    world.dialog.setStep(9);
    ASSERT_TRUE(world.settle());
    EXPECT_TRUE(world.dialog.SendCommand("y\r"));
    EXPECT_FALSE(world.dialog.SendCommand(std::string(128, 'x')));
    world.network.shortSend = [] { return true; };
    EXPECT_FALSE(world.dialog.SendCommand("y\r"));
    EXPECT_EQ(world.network.sentByLink().at(1), "y\ry");
}

TEST_F(OpenConsoleTest, SendCommandWithoutAConnectionFails) {
    EXPECT_FALSE(world.dialog.SendCommand("reboot\r"));
    world.network.failCreate = true;
    world.dialog.OpenConsole();
    EXPECT_FALSE(world.dialog.SendCommand("reboot\r"));
}

}  // namespace
}  // namespace tessel::sim
