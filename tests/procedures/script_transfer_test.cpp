#include <string>

#include "procedure_fixture.h"

namespace tessel::sim {
namespace {

const std::string kLockOff = "exec \"C:\\www\\lockoff.wcr\"";

class ScriptTransferTest : public ProcedureTest {
protected:
    std::map<std::string, std::string> listedOnDevice() const {
        std::map<std::string, std::string> files;
        for (const PackageEntry& entry : world.package.entries) files[entry.devicePath] = entry.plainBytes;
        return files;
    }
    bool rebootSent() const { return sent().find("reboot\r") != std::string::npos; }
};

TEST_F(ScriptTransferTest, EveryListedFileGoesInItsPlainFormThenTheFixedFilesThenTheRestart) {
    world.dialog.OnScriptButton();
    runToEnd();
    EXPECT_EQ(statuses(),
              (Texts{"ログインID送信", "パスワード送信", "ロックOFF", "MKDIR", "FTP転送中", "FTP転送中(0/3)",
                     "FTP転送中(1/3)", "FTP転送中(2/3)", "再起動中", "スクリプト・アップデート終了"}));
    EXPECT_EQ(boxTexts(), Texts{"スクリプト・アップデートが終了しました。"});
    EXPECT_EQ(world.device.commands, (Texts{kLockOff, "mkdir \"AutoGetDt\"", "reboot"}));
    EXPECT_EQ(world.uploader.remotePaths(),
              (Texts{"C:\\www\\index.htm", "C:\\www\\main.wcr", "C:\\www\\control\\logo.gif",
                     "C:\\www\\VersionS.txt", "C:\\www\\control\\spacer.gif"}));
    std::map<std::string, std::string> expected = listedOnDevice();
    expected["C:\\www\\VersionS.txt"] = world.package.read("VersionS.txt");
    expected["C:\\www\\control\\spacer.gif"] = world.package.read("spacer.gif");
    EXPECT_EQ(world.uploader.deviceFiles(), expected);
    EXPECT_EQ(world.uploader.uploads[0].request.localPath, world.package.path("index.htm"));
    // The fixed files are named by their whole path: the package need not lie beside the program.
    EXPECT_EQ(world.uploader.uploads[3].request.localPath, world.package.path("VersionS.txt"));
    EXPECT_EQ(world.uploader.uploads[4].request.localPath, world.package.path("spacer.gif"));
    EXPECT_TRUE(world.buttonsEnabled());
    expectPackageAsShipped();
}

TEST_F(ScriptTransferTest, AFailedSecondCopyUploadsNothingAndLeavesNoCopy) {
    world.package.remove("a2.dat");
    shipped = world.package.snapshot();
    world.dialog.OnScriptButton();
    runToEnd();
    EXPECT_EQ(boxTexts(), (Texts{"送信元ファイル異常(" + world.package.path("a2.dat") + ")",
                                 "アップデートファイル異常"}));
    EXPECT_EQ(world.status(), "スクリプト・アップデートできませんでした。");
    EXPECT_TRUE(world.uploader.uploads.empty());
    EXPECT_FALSE(rebootSent());
    EXPECT_FALSE(world.dialog.consoleOpen());
    EXPECT_TRUE(world.buttonsEnabled());
    expectPackageAsShipped();
}

TEST_F(ScriptTransferTest, AFailedSecondUploadKeepsTheFirstOnTheDeviceAndLeavesNoCopy) {
    world.uploader.results = {0, -4};
    world.dialog.OnScriptButton();
    runToEnd();
    const std::string message = "FTP送信エラー(-4) \nfile = " + world.package.path("main.wcr");
    EXPECT_EQ(boxTexts(), Texts{message});
    EXPECT_EQ(world.host.boxes[0].icon, MessageIcon::Warning);
    const Texts& history = statuses();
    ASSERT_GE(history.size(), 2u);
    EXPECT_EQ(history[history.size() - 2], message);
    EXPECT_EQ(history.back(), "スクリプト・アップデートできませんでした。");
    EXPECT_EQ(
        world.uploader.deviceFiles(),
        (std::map<std::string, std::string>{{"C:\\www\\index.htm", world.package.entries[0].plainBytes}}));
    EXPECT_EQ(world.uploader.uploads.size(), 2u);
    EXPECT_EQ(world.dialog.step(), CTesselDlg::kStepStopped);
    EXPECT_FALSE(rebootSent());
    EXPECT_TRUE(world.buttonsEnabled());
    expectPackageAsShipped();
}

TEST_F(ScriptTransferTest, AnEmptyListSendsOnlyTheFixedFiles) {
    world.package.setEntries({});
    shipped = world.package.snapshot();
    world.dialog.OnScriptButton();
    runToEnd();
    EXPECT_EQ(world.uploader.remotePaths(), (Texts{"C:\\www\\VersionS.txt", "C:\\www\\control\\spacer.gif"}));
    EXPECT_EQ(world.lastBox(), "スクリプト・アップデートが終了しました。");
    expectPackageAsShipped();
}

TEST_F(ScriptTransferTest, MissingFixedFilesDoNotStopTheTransfer) {
    world.package.remove("VersionS.txt");
    world.package.remove("spacer.gif");
    world.dialog.OnScriptButton();
    runToEnd();
    ASSERT_EQ(world.uploader.uploads.size(), 5u);
    EXPECT_EQ(world.uploader.uploads[3].result, -3);
    EXPECT_EQ(world.uploader.uploads[4].result, -3);
    EXPECT_EQ(boxTexts(), Texts{"スクリプト・アップデートが終了しました。"});
}

TEST_F(ScriptTransferTest, AMissingManagementFileEndsTheTransfer) {
    world.package.remove("UpDateMng.txt");
    world.dialog.OnScriptButton();
    runToEnd();
    EXPECT_EQ(boxTexts(), Texts{"アップデート管理ファイル異常"});
    EXPECT_EQ(world.status(), "スクリプト・アップデートできませんでした。");
    EXPECT_TRUE(world.uploader.uploads.empty());
    EXPECT_FALSE(rebootSent());
    EXPECT_TRUE(world.buttonsEnabled());
}

TEST_F(ScriptTransferTest, TheLockOffMustBeAcknowledgedWithin31Events) {
    world.device.commandReplies = [](const std::string& command) {
        return command == kLockOff ? Texts(32, "busy\r\n") : Texts{};
    };
    world.dialog.OnScriptButton();
    runToEnd();
    EXPECT_EQ(boxTexts(), (Texts{"Lock解除 Error!!", "アップデート処理に失敗しました。"}));
    EXPECT_EQ(world.device.commands, Texts{kLockOff});
    EXPECT_TRUE(world.buttonsEnabled());
}

// A plain copy over a file of the update would destroy it when the copy is deleted after its upload.
class PlainNameTest : public ScriptTransferTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(PlainNameTest, APlainNameThatNamesAFileOfTheUpdateIsRefusedBeforeAnythingIsWritten) {
    // Were the first entry copied before the check, its missing folder would be reported instead.
    world.package.setEntries({
        {"a1.dat", "missing/index.htm", "C:\\www\\index.htm", "index"},
        {"a2.dat", GetParam(), "C:\\www\\main.wcr", "main"},
        {"a3.dat", "logo.gif", "C:\\www\\control\\logo.gif", "logo"},
    });
    shipped = world.package.snapshot();
    world.dialog.OnScriptButton();
    runToEnd();
    EXPECT_EQ(boxTexts(), (Texts{"送信先ファイル作成エラー(" + world.package.path(GetParam()) + ")",
                                 "アップデートファイル異常"}));
    EXPECT_TRUE(world.uploader.uploads.empty());
    EXPECT_TRUE(world.buttonsEnabled());
    expectPackageAsShipped();
}

INSTANTIATE_TEST_SUITE_P(FilesOfTheUpdate, PlainNameTest,
                         ::testing::Values("a2.dat", "a3.dat", "UpDateMng.txt", "VersionS.txt", "spacer.gif",
                                           "kbteva.bin", "prism3.dat", "GetSysVer.wcr", "./UpDateMng.txt",
                                           "missing/../a1.dat"));

TEST_F(ScriptTransferTest, TwoEntriesWithOnePlainCopyAreRefusedBeforeAnythingIsWritten) {
    world.package.setEntries({
        {"a1.dat", "index.htm", "C:\\www\\index.htm", "index"},
        {"a2.dat", "./index.htm", "C:\\www\\control\\other.htm", "other"},
    });
    shipped = world.package.snapshot();
    world.dialog.OnScriptButton();
    runToEnd();
    EXPECT_EQ(boxTexts(), (Texts{"送信先ファイル作成エラー(" + world.package.path("./index.htm") + ")",
                                 "アップデートファイル異常"}));
    EXPECT_TRUE(world.uploader.uploads.empty());
    EXPECT_TRUE(world.buttonsEnabled());
    expectPackageAsShipped();
}

TEST_F(ScriptTransferTest, AFileOfTheOperatorsThatAPlainCopyWouldReplaceIsRefusedAndKept) {
    // Were the copies made before the check, the first would be written; were every entry's name
    // deleted after the failure, the operator's file would go too.
    world.package.write("logo.gif", "the operator's own picture");
    shipped = world.package.snapshot();
    world.dialog.OnScriptButton();
    runToEnd();
    EXPECT_EQ(boxTexts(), (Texts{"送信先ファイル作成エラー(" + world.package.path("logo.gif") + ")",
                                 "アップデートファイル異常"}));
    EXPECT_TRUE(world.uploader.uploads.empty());
    EXPECT_TRUE(world.buttonsEnabled());
    expectPackageAsShipped();
}

TEST_F(ScriptTransferTest, APlainCopyLeftByAnInterruptedTransferIsWrittenAgainAndRemoved) {
    const PackageEntry& first = world.package.entries.front();
    world.package.write(first.plainName, first.plainBytes);
    world.dialog.OnScriptButton();
    runToEnd();
    EXPECT_EQ(world.lastBox(), "スクリプト・アップデートが終了しました。");
    EXPECT_EQ(world.uploader.deviceFiles().at(first.devicePath), first.plainBytes);
    EXPECT_FALSE(world.package.exists(first.plainName));
}

// Step 11 is set while the files go out and pending events are dispatched between them.
TEST_F(ScriptTransferTest, ConsoleEventsDuringTheTransferWaitUntilItHasEnded) {
    std::vector<bool> rebootDuringUpload;
    world.uploader.duringSend = [&](const UploadRequest&) {
        rebootDuringUpload.push_back(rebootSent());
        world.network.sendToClient(1, "unrequested output\r\n");
        world.scheduler.advance(world.network.latency);
    };
    world.dialog.OnScriptButton();
    runToEnd();
    EXPECT_EQ(rebootDuringUpload, std::vector<bool>(5, false));
    EXPECT_EQ(world.device.commands.back(), "reboot");
    EXPECT_EQ(world.lastBox(), "スクリプト・アップデートが終了しました。");
}

TEST_F(ScriptTransferTest, ConsoleEventsWhileAMessageOfTheTransferIsOpenDoNotRunTheRestart) {
    world.package.remove("a3.dat");
    shipped = world.package.snapshot();
    world.host.onMessageBox = [this](const RecordedBox&) {
        world.network.sendToClient(1, "unrequested output\r\n");
        world.scheduler.runFor(world.network.latency);
        return MessageResult::Ok;
    };
    world.dialog.OnScriptButton();
    runToEnd();
    EXPECT_FALSE(rebootSent());
    EXPECT_EQ(world.dialog.scriptResult(), 0);
    EXPECT_EQ(world.status(), "スクリプト・アップデートできませんでした。");
    expectPackageAsShipped();
}

}  // namespace
}  // namespace tessel::sim
