#include <filesystem>
#include <string>

#include "autoscript_fixture.h"
#include "platform/os/files.h"

namespace tessel::sim {
namespace {

const std::string kMoveAsideScript =
    "Function main()\n{\nsetexport(2, 1);\nputexport(2, 1);\n"
    "var fd=fileopen(\"C:\\system\\\\autoscript.wcr\", \"r\");\n"
    "if(fd>=0){filedelete(\"C:\\system\\\\autoscript.bak\");\n"
    "filerename(\"C:\\system\\\\autoscript.wcr\",\"autoscript.bak\");}\n"
    "putexport(2, 0);\n}";
const std::string kRestore =
    "Function main()\n{\nsetexport(2, 1);\nputexport(2, 1);\n"
    "var fd=fileopen(\"C:\\system\\\\autoscript.wcr\", \"r\");\n"
    "if(fd<0)filerename(\"C:\\system\\\\autoscript.bak\",\"autoscript.wcr\");\n"
    "else filedelete(\"C:\\system\\\\autoscript.bak\");\n"
    "putexport(2, 0);\n}";

TEST_F(AutoScriptStartTest, EachVariantIsUploadedByteForByteAndThenDeleted) {
    ASSERT_EQ(kMoveAsideScript.size(), 231u);
    ASSERT_EQ(kRestore.size(), 233u);
    start(AutoscriptMoveAside);
    start(AutoscriptRestore);
    ASSERT_EQ(world.uploader.uploads.size(), 2u);
    EXPECT_EQ(world.uploader.uploads[0].content, kMoveAsideScript);
    EXPECT_EQ(world.uploader.uploads[1].content, kRestore);
    for (const RecordedUpload& upload : world.uploader.uploads) {
        EXPECT_EQ(upload.request.localPath, os::JoinPath(world.dialog.workFolder(), "m_AutoScript.wcr"));
        EXPECT_EQ(upload.request.remotePath, "B:\\m_AutoScript.wcr");
        EXPECT_EQ(upload.request.transferMode, 1);
        EXPECT_EQ(upload.request.passive, 1);
        EXPECT_EQ(upload.request.codeConversion, 0);
    }
    EXPECT_EQ(world.dialog.updateMode(), AutoscriptRestore);
    EXPECT_TRUE(world.network.newestSocket()->isConnecting());
    EXPECT_TRUE(world.buttonsDisabled());
    // No status text before the upload.
    EXPECT_TRUE(statuses().empty());
    expectPackageAsShipped();
}

TEST_F(AutoScriptStartTest, AFailedUploadIsReportedFromTheTableAndTheFileIsGoneAnyway) {
    world.uploader.results = {kUploadRemoteError, kUploadHostBusy};
    start(AutoscriptMoveAside);
    start(AutoscriptRestore);
    EXPECT_EQ(boxTexts(), (Texts{"FTP送信エラー(サーバ側ファイルエラー)", "FTP送信エラー(戻り値不明)"}));
    EXPECT_EQ(world.status(), "FTP送信エラー(戻り値不明)");
    EXPECT_EQ(world.network.socketsCreated(), 0);
    EXPECT_TRUE(world.buttonsEnabled());
    expectPackageAsShipped();
}

TEST_F(AutoScriptStartTest, AScriptThatCannotBeWrittenEndsWithAMessageAndNothingSent) {
    // A file of that name in the package is not the updater's business.
    std::filesystem::create_directory(world.package.path("m_AutoScript.wcr"));
    world.uploader.results = {kUploadRemoteError};
    start(AutoscriptMoveAside);
    ASSERT_EQ(world.uploader.uploads.size(), 1u);
    const std::string script = os::JoinPath(world.dialog.workFolder(), "m_AutoScript.wcr");
    std::filesystem::create_directory(script);
    world.host.boxes.clear();
    start(AutoscriptMoveAside);
    EXPECT_EQ(boxTexts(), Texts{"送信先ファイル作成エラー(" + script + ")"});
    EXPECT_EQ(world.uploader.uploads.size(), 1u);
    EXPECT_EQ(world.network.socketsCreated(), 0);
    EXPECT_EQ(world.dialog.updateMode(), AutoscriptMoveAside);
}

class AutoScriptStepTest : public ProcedureTest {
protected:
    void SetUp() override {
        ProcedureTest::SetUp();
        ASSERT_TRUE(world.connectIn(AutoscriptMoveAside));
    }
    void at(std::int32_t step, std::int32_t pollCounter = 0) {
        world.dialog.setStep(step);
        world.dialog.setPollCounter(pollCounter);
    }
};

TEST_F(AutoScriptStepTest, ThePromptRunsTheScript) {
    at(2);
    world.dialog.armWatchdog();
    receive("\r\n> ");
    EXPECT_EQ(world.dialog.step(), 5);
    EXPECT_EQ(world.status(), "AutoScript移動中");
    EXPECT_EQ(sent(), "exec \"B:\\m_AutoScript.wcr\"\r");
    EXPECT_EQ(world.host.timerDue(CTesselDlg::kWatchdogTimerId), world.scheduler.now() + 60000);
}

// A device that falls silent before its prompt would otherwise keep the buttons disabled for good.
TEST_F(AutoScriptStepTest, WhileThePromptIsAwaitedTheWatchdogKeepsRunning) {
    at(2);
    world.dialog.armWatchdog();
    receive("Password: ");
    EXPECT_EQ(world.dialog.step(), 2);
    EXPECT_TRUE(world.host.isTimerArmed(CTesselDlg::kWatchdogTimerId));
    world.scheduler.runFor(60000);
    EXPECT_EQ(world.lastBox(), "アップデート処理に失敗しました。");
    EXPECT_TRUE(world.buttonsEnabled());
}

TEST_F(AutoScriptStepTest, TheResultRestartsTheDeviceAndTheCounterOfBothStepsEndsTheWait) {
    at(5, 51);
    receive("value = 0x1 = 1");
    EXPECT_EQ(boxTexts(), Texts{"移動コマンド失敗!"});
    EXPECT_EQ(world.dialog.step(), CTesselDlg::kStepStopped);

    ASSERT_TRUE(world.connectIn(AutoscriptRestore));
    at(5, 20);
    for (int event = 21; event <= 51; ++event) receive(std::string(200, ' ') + "value = 0x0 = 0");
    EXPECT_EQ(world.dialog.step(), 5);
    EXPECT_TRUE(world.host.boxes.empty());
    receive(std::string(199, ' ') + "value = 0x0 = 0");
    EXPECT_EQ(world.dialog.step(), CTesselDlg::kStepAutoscriptRebootSent);
    EXPECT_TRUE(sent().ends_with("reboot\r"));
}

}  // namespace
}  // namespace tessel::sim
