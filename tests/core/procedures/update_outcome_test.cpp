// What the dialog reports at the end of an update, and when it reports it.
#include <string>

#include "procedure_fixture.h"

namespace tessel::sim {
namespace {

class UpdateOutcomeTest : public ProcedureTest {
protected:
    void SetUp() override {
        ProcedureTest::SetUp();
        world.observer.onEnded = [this](const UpdateOutcome&) {
            endedAt = world.scheduler.now();
            commandsAtEnd = world.device.commands.size();
        };
    }

    const UpdateOutcome& onlyOutcome() {
        EXPECT_EQ(world.observer.outcomes.size(), 1u);
        static const UpdateOutcome none;
        return world.observer.outcomes.empty() ? none : world.observer.outcomes.front();
    }

    Millis endedAt = -1;
    std::size_t commandsAtEnd = 0;
};

TEST_F(UpdateOutcomeTest, TwoFirmwarePassesWithTheVersionEachRead) {
    world.device.firmwareVersion = "01.06.99";
    world.dialog.OnFirmwareButton();
    runToEnd();
    const UpdateOutcome& outcome = onlyOutcome();
    EXPECT_EQ(outcome.procedure, UpdateProcedure::Firmware);
    EXPECT_TRUE(outcome.succeeded);
    EXPECT_EQ(outcome.firmwarePasses, 2);
    ASSERT_EQ(outcome.firmwareVersions.size(), 2u);
    EXPECT_EQ(outcome.firmwareVersions.front(), "01.06.99");
    ASSERT_TRUE(outcome.finalMessage);
    EXPECT_EQ(outcome.finalMessage->text, "ファームウェア・アップデートが終了しました。");
    EXPECT_EQ(outcome.finalMessage->icon, MessageIcon::Information);
    EXPECT_EQ(outcome.statusLine, "ファームウェア・アップデート終了");
    EXPECT_EQ(outcome.restore, RestoreResult::NotRun);
}

TEST_F(UpdateOutcomeTest, AFailedTransferWithTheMoveFlagEndsOnlyAfterItsRestore) {
    world.package.setEntries(world.package.entries, {"#A# move"});
    world.dialog.InitDialog(world.package.dir());
    world.uploader.results = {kUploadOk, kUploadOk, kUploadRemoteError};
    world.dialog.OnScriptButton();
    runToEnd();
    const UpdateOutcome& outcome = onlyOutcome();
    EXPECT_EQ(outcome.procedure, UpdateProcedure::Script);
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_EQ(outcome.restore, RestoreResult::Completed);
    ASSERT_TRUE(outcome.finalMessage);
    EXPECT_EQ(outcome.finalMessage->text, "スクリプト・アップデートができませんでした。");
    EXPECT_EQ(outcome.statusLine, "スクリプト・アップデートできませんでした。");
    // The restore's script and its restart came before the report.
    EXPECT_EQ(commandsAtEnd, world.device.commands.size());
    EXPECT_EQ(world.device.commands.back(), "reboot");
}

TEST_F(UpdateOutcomeTest, ARestoreThatCannotUploadItsScriptIsAFailedRestore) {
    world.package.setEntries(world.package.entries, {"#A# move"});
    world.dialog.InitDialog(world.package.dir());
    // The move-aside's script, the first file, then the restore's script fail to arrive.
    world.uploader.results = {kUploadOk, kUploadRemoteError, kUploadNoConnection};
    world.dialog.OnScriptButton();
    runToEnd();
    const UpdateOutcome& outcome = onlyOutcome();
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_EQ(outcome.restore, RestoreResult::Failed);
    ASSERT_TRUE(outcome.finalMessage);
    EXPECT_EQ(outcome.finalMessage->text, outcome.statusLine);
    EXPECT_TRUE(world.buttonsEnabled());
}

TEST_F(UpdateOutcomeTest, AWatchdogThatCanOnlyRepeatTheFailureDoesNotHoldTheEnd) {
    world.host.setControlText(kPasswordEdit, "wrong");
    world.dialog.OnFirmwareButton();
    runToEnd();
    const UpdateOutcome& outcome = onlyOutcome();
    EXPECT_FALSE(outcome.succeeded);
    ASSERT_TRUE(outcome.finalMessage);
    EXPECT_EQ(outcome.finalMessage->text, "ログイン Error!!");
    EXPECT_EQ(outcome.firmwareVersions.size(), 0u);
    // The watchdog armed with the password still shows its message a minute later, as it always did.
    EXPECT_LT(endedAt, CTesselDlg::kWatchdogPeriod.count());
    EXPECT_EQ(world.lastBox(), "アップデート処理に失敗しました。");
}

TEST_F(UpdateOutcomeTest, InputThatIsRefusedEndsThePressAtOnce) {
    world.host.setControlText(kLoginIdEdit, std::string(16, 'x'));
    world.dialog.OnScriptButton();
    const UpdateOutcome& outcome = onlyOutcome();
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_EQ(outcome.procedure, UpdateProcedure::Script);
    EXPECT_EQ(outcome.firmwarePasses, 0);
    ASSERT_TRUE(outcome.finalMessage);
    EXPECT_EQ(outcome.finalMessage->text, world.lastBox());
    EXPECT_TRUE(world.uploader.uploads.empty());
}

}  // namespace
}  // namespace tessel::sim
