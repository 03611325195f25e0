#include <string>

#include "platform/os/files.h"
#include "procedure_fixture.h"

namespace tessel::sim {
namespace {

const Texts kMoveAsideStatuses = {"ログインID送信", "パスワード送信", "AutoScript移動中", "再起動中"};
const Texts kTransferUntilSecondFile = {"ログインID送信", "パスワード送信", "ロックOFF",     "MKDIR",
                                        "FTP転送中",      "FTP転送中(0/3)", "FTP転送中(1/3)"};

Texts Join(std::initializer_list<Texts> parts) {
    Texts all;
    for (const Texts& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// The management file asks for the move-aside of the device's autoscript around the transfer.
class ScriptUpdateChainTest : public ProcedureTest {
protected:
    void SetUp() override {
        world.package.setEntries(world.package.entries, {"#A# move"});
        world.dialog.InitDialog(world.package.dir());
        ASSERT_EQ(world.dialog.moveFlag(), 1);
        ProcedureTest::SetUp();
    }
};

TEST_F(ScriptUpdateChainTest, MoveAsideRestartTransferRestoreRestartResult) {
    world.dialog.OnScriptButton();
    runToEnd();
    EXPECT_EQ(statuses(), Join({kMoveAsideStatuses,
                                kTransferUntilSecondFile,
                                {"FTP転送中(2/3)"},
                                kMoveAsideStatuses,
                                {"スクリプト・アップデート終了"}}));
    EXPECT_EQ(boxTexts(), Texts{"スクリプト・アップデートが終了しました。"});
    EXPECT_EQ(world.device.commands,
              (Texts{"exec \"B:\\m_AutoScript.wcr\"", "reboot", "exec \"C:\\www\\lockoff.wcr\"",
                     "mkdir \"AutoGetDt\"", "exec \"B:\\m_AutoScript.wcr\"", "reboot"}));
    const Texts remotes = world.uploader.remotePaths();
    ASSERT_EQ(remotes.size(), 7u);
    EXPECT_EQ(remotes.front(), "B:\\m_AutoScript.wcr");
    EXPECT_EQ(remotes.back(), "B:\\m_AutoScript.wcr");
    EXPECT_TRUE(world.uploader.uploads.front().content->starts_with("Function main()"));
    EXPECT_EQ(world.uploader.uploads.front().content->size(), 231u);
    EXPECT_EQ(world.uploader.uploads.back().content->size(), 233u);
    EXPECT_TRUE(world.buttonsEnabled());
    expectPackageAsShipped();
}

TEST_F(ScriptUpdateChainTest, AFailedTransferLeadsIntoTheRestore) {
    world.uploader.results = {kUploadOk, kUploadOk, kUploadRemoteError};
    world.dialog.OnScriptButton();
    runToEnd();
    const std::string failure = "FTP送信エラー(-4) \nfile = " + os::JoinPath(world.dialog.workFolder(), "main.wcr");
    EXPECT_EQ(statuses(), Join({kMoveAsideStatuses,
                                kTransferUntilSecondFile,
                                {failure},
                                kMoveAsideStatuses,
                                {"スクリプト・アップデートできませんでした。"}}));
    EXPECT_EQ(boxTexts(), (Texts{failure, "スクリプト・アップデートができませんでした。"}));
    EXPECT_EQ(world.uploader.remotePaths().back(), "B:\\m_AutoScript.wcr");
    EXPECT_EQ(world.uploader.uploads.back().content->size(), 233u);
    EXPECT_TRUE(world.buttonsEnabled());
    expectPackageAsShipped();
}

TEST_F(ScriptUpdateChainTest, ASilentDeviceDuringTheTransferIsRestoredAfterTheWatchdog) {
    world.device.commandReplies = [](const std::string& command) {
        return command == "exec \"C:\\www\\lockoff.wcr\"" ? Texts{"busy\r\n"} : Texts{};
    };
    world.dialog.OnScriptButton();
    runToEnd();
    EXPECT_EQ(boxTexts(), (Texts{"アップデート処理に失敗しました。\n状態を元に戻しますので、[OK]"
                                 "をクリックして、しばらくお待ちください。",
                                 "スクリプト・アップデートができませんでした。"}));
    EXPECT_EQ(world.status(), "スクリプト・アップデートできませんでした。");
    EXPECT_EQ(world.device.commands.back(), "reboot");
    EXPECT_EQ(world.uploader.remotePaths(), (Texts{"B:\\m_AutoScript.wcr", "B:\\m_AutoScript.wcr"}));
    EXPECT_TRUE(world.buttonsEnabled());
}

TEST_F(ScriptUpdateChainTest, ARestoreThatCannotStartAfterAFailedTransferFreesTheButtons) {
    world.uploader.results = {kUploadOk, kUploadOk, kUploadRemoteError, kUploadNoConnection};
    world.dialog.OnScriptButton();
    runToEnd();
    EXPECT_EQ(world.lastBox(), "FTP送信エラー(コネクションエラー)");
    EXPECT_TRUE(world.buttonsEnabled());
    EXPECT_FALSE(world.dialog.consoleOpen());
    expectPackageAsShipped();
}

}  // namespace
}  // namespace tessel::sim
