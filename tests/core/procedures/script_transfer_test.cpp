#include <filesystem>
#include <string>

#include "script_transfer_fixture.h"

namespace tessel::sim {
namespace {

const std::string kLockOff = "exec \"C:\\www\\lockoff.wcr\"";

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
    // The plain copies are written into the run's own folder, never into the package.
    EXPECT_EQ(world.uploader.uploads[0].request.localPath, workFile("index.htm"));
    EXPECT_FALSE(world.dialog.workFolder().starts_with(world.package.dir()));
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
    world.uploader.results = {kUploadOk, kUploadRemoteError};
    world.dialog.OnScriptButton();
    runToEnd();
    const std::string message = "FTP送信エラー(-4) \nfile = " + workFile("main.wcr");
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
    EXPECT_EQ(world.uploader.uploads[3].result, kUploadLocalFileError);
    EXPECT_EQ(world.uploader.uploads[4].result, kUploadLocalFileError);
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

TEST_F(ScriptTransferTest, AManagementFileThatCannotBeReadIsOneThatCannotBeOpened) {
    // A folder of that name opens but fails at its first read.
    world.package.remove("UpDateMng.txt");
    std::filesystem::create_directory(world.package.path("UpDateMng.txt"));
    world.host.setCaption("before");
    world.dialog.InitDialog(world.package.dir());
    EXPECT_EQ(world.host.caption, "before");
    EXPECT_EQ(world.dialog.moveFlag(), 0);
    EXPECT_TRUE(world.host.boxes.empty());
    world.dialog.OnScriptButton();
    runToEnd();
    EXPECT_EQ(boxTexts(), Texts{"アップデート管理ファイル異常"});
    EXPECT_EQ(world.status(), "スクリプト・アップデートできませんでした。");
    EXPECT_TRUE(world.uploader.uploads.empty());
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

// The copies go to the work folder: a plain name that names a file of the package harms nothing.
class PlainNameTest : public ScriptTransferTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(PlainNameTest, APlainNameLikeAFileOfThePackageIsCopiedBesideTheShippedFile) {
    world.package.setEntries({
        {"a1.dat", "index.htm", "C:\\www\\index.htm", "index"},
        {"a2.dat", GetParam(), "C:\\www\\main.wcr", "main"},
        {"a3.dat", "logo.gif", "C:\\www\\control\\logo.gif", "logo"},
    });
    shipped = world.package.snapshot();
    world.dialog.OnScriptButton();
    runToEnd();
    EXPECT_EQ(boxTexts(), Texts{"スクリプト・アップデートが終了しました。"});
    EXPECT_EQ(world.uploader.deviceFiles().at("C:\\www\\main.wcr"), "main");
    expectPackageAsShipped();
}

INSTANTIATE_TEST_SUITE_P(FilesOfTheUpdate, PlainNameTest,
                         ::testing::Values("a2.dat", "a3.dat", "UpDateMng.txt", "VersionS.txt", "spacer.gif",
                                           "kbteva.bin", "prism3.dat", "GetSysVer.wcr"));

// A name that reaches out of its folder is refused with the management file, before anything is read or sent.
TEST_F(ScriptTransferTest, ANameThatIsAPathIsRefusedWithTheManagementFile) {
    for (const char* name : {".", "..", "sub/", "./UpDateMng.txt", "missing/../a1.dat", "../outside.htm", "a\\b"}) {
        SCOPED_TRACE(name);
        SimWorld fresh;
        fresh.package.setEntries({
            {"a1.dat", "index.htm", "C:\\www\\index.htm", "index"},
            {"a2.dat", name, "C:\\www\\main.wcr", "main"},
        });
        const auto before = fresh.package.snapshot();
        fresh.dialog.OnScriptButton();
        ASSERT_TRUE(fresh.settle());
        ASSERT_EQ(fresh.host.boxes.size(), 1u);
        EXPECT_EQ(fresh.host.boxes[0].text, "アップデート管理ファイル異常");
        ASSERT_TRUE(fresh.outcome());
        EXPECT_NE(fresh.outcome()->detail.find("line 6"), std::string::npos) << fresh.outcome()->detail;
        EXPECT_TRUE(fresh.uploader.uploads.empty());
        EXPECT_TRUE(fresh.dialog.workFolder().empty());
        EXPECT_EQ(fresh.package.snapshot(), before);
    }
}

TEST_F(ScriptTransferTest, AnEmptyPlainNameIsRefusedBeforeAnythingIsSent) {
    world.package.setEntries({
        {"a1.dat", "index.htm", "C:\\www\\index.htm", "index"},
        {"a2.dat", "", "C:\\www\\main.wcr", "main"},
    });
    const auto before = world.package.snapshot();
    world.dialog.OnScriptButton();
    ASSERT_TRUE(world.settle());
    ASSERT_EQ(world.host.boxes.size(), 2u);
    EXPECT_TRUE(world.host.boxes[0].text.starts_with("送信先ファイル作成エラー(" + world.dialog.workFolder()));
    EXPECT_EQ(world.host.boxes[1].text, "アップデートファイル異常");
    EXPECT_TRUE(world.uploader.uploads.empty());
    EXPECT_TRUE(std::filesystem::is_empty(world.dialog.workFolder()));
    EXPECT_EQ(world.package.snapshot(), before);
}

TEST_F(ScriptTransferTest, TwoEntriesWithOnePlainCopyAreRefusedBeforeAnythingIsSent) {
    world.package.setEntries({
        {"a1.dat", "index.htm", "C:\\www\\index.htm", "index"},
        {"a2.dat", "index.htm", "C:\\www\\control\\other.htm", "other"},
    });
    shipped = world.package.snapshot();
    world.dialog.OnScriptButton();
    runToEnd();
    EXPECT_EQ(boxTexts(), (Texts{"送信先ファイル作成エラー(" + workFile("index.htm") + ")",
                                 "アップデートファイル異常"}));
    EXPECT_TRUE(world.uploader.uploads.empty());
    EXPECT_TRUE(std::filesystem::is_empty(world.dialog.workFolder()));
    EXPECT_TRUE(world.buttonsEnabled());
    expectPackageAsShipped();
}

TEST_F(ScriptTransferTest, AnEntrysSourceIsCheckedBeforeItsDestination) {
    world.package.setEntries({
        {"a1.dat", "index.htm", "C:\\www\\index.htm", "index"},
        {"a2.dat", "main.wcr", "C:\\www\\main.wcr", "main"},
    });
    // The second entry fails twice: its source is missing and its plain name is the first entry's.
    world.package.write("UpDateMng.txt", world.package.read("UpDateMng.txt") + "#L# gone.dat,index.htm,C:\\x\r\n");
    shipped = world.package.snapshot();
    world.dialog.OnScriptButton();
    runToEnd();
    EXPECT_EQ(boxTexts(), (Texts{"送信元ファイル異常(" + world.package.path("gone.dat") + ")",
                                 "アップデートファイル異常"}));
    EXPECT_TRUE(world.uploader.uploads.empty());
    expectPackageAsShipped();
}

TEST_F(ScriptTransferTest, APackageHoldingPlainFilesOfAnOlderPackageUpdatesAndKeepsThem) {
    world.package.write("logo.gif", "the operator's own picture");
    const PackageEntry& first = world.package.entries.front();
    world.package.write(first.plainName, "an older index");
    shipped = world.package.snapshot();
    world.dialog.OnScriptButton();
    runToEnd();
    EXPECT_EQ(world.lastBox(), "スクリプト・アップデートが終了しました。");
    EXPECT_EQ(world.uploader.deviceFiles().at(first.devicePath), first.plainBytes);
    expectPackageAsShipped();
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
