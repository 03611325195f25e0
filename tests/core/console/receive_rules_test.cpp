#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "sim_world.h"

namespace tessel::sim {
namespace {

class ReceiveRulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(world.dialog.ValidateInput());
        world.dialog.setMode(FirmwareUpdate);
        ASSERT_TRUE(world.dialog.OpenConsole());
        world.dialog.setStep(kNoHandlerStep);
        ASSERT_TRUE(world.settle());
        world.host.boxes.clear();
    }

    void receive(std::string block, int errorCode = 0) {
        world.network.sendToClient(1, std::move(block), 0, errorCode);
        world.scheduler.runFor(world.network.latency);
    }
    std::string bufferStart(std::size_t size) const {
        return std::string(world.dialog.receiveBuffer().data(), size);
    }
    bool zeroFrom(std::size_t offset) const {
        const auto& buffer = world.dialog.receiveBuffer();
        return std::all_of(buffer.begin() + static_cast<std::ptrdiff_t>(offset), buffer.end(),
                           [](char c) { return c == '\0'; });
    }
    // Counts the events that reach the controller: step 6 is recorded by its handler.
    std::size_t events() const { return world.dialog.calls.size(); }

    static constexpr std::int32_t kNoHandlerStep = 9;
    static constexpr std::int32_t kRecordingStep = 6;
    SimWorld world;
};

TEST_F(ReceiveRulesTest, TheBufferHoldsOnlyTheLatestBlockFollowedByZeros) {
    receive("a long first block");
    EXPECT_EQ(bufferStart(18), "a long first block");
    receive("xy");
    EXPECT_EQ(bufferStart(2), "xy");
    EXPECT_TRUE(zeroFrom(2));
}

TEST_F(ReceiveRulesTest, EveryBlockIsOneEvent) {
    world.dialog.setStep(kRecordingStep);
    receive("one");
    receive("two");
    EXPECT_EQ(events(), 2u);
}

TEST_F(ReceiveRulesTest, AZeroByteInsideABlockIsKept) {
    receive(std::string("ab\0cd", 5));
    EXPECT_EQ(bufferStart(5), std::string("ab\0cd", 5));
    EXPECT_TRUE(zeroFrom(5));
}

TEST_F(ReceiveRulesTest, ABlockLongerThanTheBufferShowsItsStart) {
    std::string block(30000, 'a');
    std::fill(block.begin() + CTesselDlg::kReceiveBufferSize, block.end(), 'b');
    world.dialog.setStep(kRecordingStep);
    receive(block);
    EXPECT_EQ(bufferStart(CTesselDlg::kReceiveBufferSize), std::string(CTesselDlg::kReceiveBufferSize, 'a'));
    EXPECT_EQ(events(), 1u);
}

TEST_F(ReceiveRulesTest, ABlockLongerThanOneReadArrivesAsTwoEvents) {
    std::string block(CTesselDlg::kReceiveReadLimit + 100, 'a');
    std::fill(block.begin() + CTesselDlg::kReceiveReadLimit, block.end(), 'z');
    world.dialog.setStep(kRecordingStep);
    receive(block);
    world.scheduler.runFor(0);
    EXPECT_EQ(events(), 2u);
    EXPECT_EQ(bufferStart(100), std::string(100, 'z'));
    EXPECT_TRUE(zeroFrom(100));
}

TEST_F(ReceiveRulesTest, AReadOfZeroBytesClosesTheSocketWithoutAnEvent) {
    world.dialog.setStep(kRecordingStep);
    world.dialog.armWatchdog();
    receive("old");
    world.network.dropClient(1, true);
    world.scheduler.runFor(world.network.latency);
    ASSERT_EQ(world.host.boxes.size(), 1u);
    EXPECT_EQ(world.lastBox(), "受信 Err!!");
    EXPECT_EQ(world.host.boxes.back().icon, MessageIcon::Warning);
    EXPECT_EQ(events(), 1u);
    EXPECT_EQ(world.dialog.step(), kRecordingStep);
    EXPECT_FALSE(world.dialog.consoleOpen());
    EXPECT_TRUE(zeroFrom(0));
    // The watchdog ends the procedure.
    world.scheduler.runFor(60000);
    EXPECT_EQ(world.lastBox(), "アップデート処理に失敗しました。");
    EXPECT_TRUE(world.buttonsEnabled());
}

TEST_F(ReceiveRulesTest, AReadOfZeroBytesWithoutAWatchdogEndsTheProcedure) {
    world.dialog.setStep(kRecordingStep);
    world.host.enableControl(kFirmwareButton, false);
    world.host.enableControl(kScriptButton, false);
    world.network.dropClient(1, true);
    world.scheduler.runFor(world.network.latency);
    ASSERT_EQ(world.host.boxes.size(), 1u);
    EXPECT_EQ(world.lastBox(), "受信 Err!!");
    EXPECT_EQ(world.status(), "受信 Err!!");
    EXPECT_EQ(world.dialog.step(), CTesselDlg::kStepStopped);
    EXPECT_TRUE(world.buttonsEnabled());
}

TEST_F(ReceiveRulesTest, AReadOfZeroBytesAfterTheRestartCommandIsTheRestart) {
    world.dialog.setStep(CTesselDlg::kStepFirmwareRebootSent);
    world.network.dropClient(1, true);
    world.scheduler.runFor(world.network.latency);
    EXPECT_TRUE(world.host.boxes.empty());
    EXPECT_EQ(world.dialog.step(), CTesselDlg::kStepRestartWait);
    EXPECT_EQ(world.status(), "再起動中");
    EXPECT_TRUE(world.host.isTimerArmed(CTesselDlg::kReconnectTimerId));
    ASSERT_TRUE(world.settle());
    EXPECT_EQ(world.lastBox(), "ファームウェア・アップデートが終了しました。");
}

TEST_F(ReceiveRulesTest, ThePeerClosingIsNotNoticed) {
    world.dialog.setStep(kRecordingStep);
    world.network.dropClient(1, false);
    ASSERT_TRUE(world.settle());
    EXPECT_TRUE(world.host.boxes.empty());
    EXPECT_EQ(events(), 0u);
}

TEST_F(ReceiveRulesTest, ANotificationWithNothingToReadIsNoEvent) {
    world.dialog.setStep(kRecordingStep);
    receive("old");
    world.network.notifyWithoutData(1);
    world.scheduler.runFor(world.network.latency);
    EXPECT_EQ(events(), 1u);
    EXPECT_TRUE(zeroFrom(0));
    EXPECT_TRUE(world.host.boxes.empty());
}

TEST_F(ReceiveRulesTest, ANotificationWithAnErrorCodeIsShownAndTheBlockStillRead) {
    world.dialog.setStep(kRecordingStep);
    receive("data", 10054);
    ASSERT_EQ(world.host.boxes.size(), 1u);
    EXPECT_EQ(world.lastBox(), "Connect Err(0x2746)");
    EXPECT_EQ(events(), 1u);
    EXPECT_EQ(bufferStart(4), "data");
}

}  // namespace
}  // namespace tessel::sim
