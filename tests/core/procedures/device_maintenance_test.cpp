// The version query and the autoscript restore as procedures of their own, and the record that lets a cut-off
// script update be repaired.
#include <filesystem>
#include <fstream>
#include <string>

#include "procedure_fixture.h"
#include "platform/os/folders.h"
#include "procedures/interruption_journal.h"

namespace tessel::sim {
namespace {

namespace fs = std::filesystem;

class VersionQueryTest : public ProcedureTest {};

TEST_F(VersionQueryTest, ReadsTheVersionAsTheUpdateDoesAndChangesNothingElse) {
    world.device.firmwareVersion = "01.06.99";
    world.dialog.OnVersionQuery();
    runToEnd();
    ASSERT_TRUE(world.outcome());
    EXPECT_EQ(world.outcome()->procedure, UpdateProcedure::VersionQuery);
    EXPECT_TRUE(world.succeeded());
    ASSERT_EQ(world.outcome()->firmwareVersions.size(), 1u);
    EXPECT_EQ(world.outcome()->firmwareVersions.front(), "01.06.99");
    EXPECT_EQ(world.device.commands, Texts{"exec \"B:\\GetSysVer.wcr\""});
    EXPECT_EQ(world.uploader.remotePaths(), Texts{"B:\\GetSysVer.wcr"});
    EXPECT_TRUE(world.host.boxes.empty());
    EXPECT_EQ(world.status(), "ファームバージョン確認終了");
    EXPECT_FALSE(world.dialog.consoleOpen());
    EXPECT_TRUE(world.buttonsEnabled());
    expectPackageAsShipped();
}

TEST_F(VersionQueryTest, AReplyThatIsNoVersionFailsTheQuery) {
    world.device.firmwareVersion = "xx.yy.zz";
    world.dialog.OnVersionQuery();
    runToEnd();
    ASSERT_TRUE(world.outcome());
    EXPECT_FALSE(world.succeeded());
    EXPECT_EQ(world.lastBox(), "getsysver Version Error !!");
    EXPECT_TRUE(world.buttonsEnabled());
}

// The update takes a reply without a successful result as version 01.00.00 and goes on; a query that only
// reads the version must not report one it did not read.
TEST_F(VersionQueryTest, AScriptThatFailedOrAReplyCutByANulIsNoVersion) {
    for (const std::string& reply : {std::string("  01.06.99  value = 0x1 = 1\r\n> "),
                                    std::string("  01.06.99 \0 value = 0x0 = 0\r\n> ", 33)}) {
        SCOPED_TRACE(reply);
        world.device.commandReplies = [reply](const std::string& command) {
            return std::vector<std::string>{command + "\r\n", reply};
        };
        world.dialog.OnVersionQuery();
        runToEnd();
        ASSERT_TRUE(world.outcome());
        EXPECT_FALSE(world.succeeded());
        EXPECT_TRUE(world.outcome()->firmwareVersions.empty());
        EXPECT_EQ(world.lastBox(), "getsysver Version Error !!");
        EXPECT_TRUE(world.buttonsEnabled());
    }
}

// A script update with the move-aside, recording into a journal of its own.
class InterruptedUpdateTest : public ProcedureTest {
protected:
    void SetUp() override {
        world.package.setEntries(world.package.entries, {"#A# move"});
        world.dialog.InitDialog(world.package.dir());
        // A folder of its own: tests of this fixture run side by side in several processes.
        const std::optional<std::string> folder = os::MakePrivateFolder();
        ASSERT_TRUE(folder.has_value());
        journalFolder = fs::path(*folder) / "journal";
        world.dialog.SetJournalFolder(journalFolder.string());
        ProcedureTest::SetUp();
    }
    void TearDown() override {
        fs::remove_all(journalFolder.parent_path());
    }
    bool recorded(const std::string& device) const {
        return InterruptionJournal(journalFolder.string()).find(device, 8002).has_value();
    }
    bool recorded() const { return recorded(address()); }
    bool journalEmpty() const { return !fs::exists(journalFolder) || fs::is_empty(journalFolder); }
    // The address as the operator typed it; the simulated network takes it as the device's own spelling.
    std::string address() const { return world.host.controlText(kAddressEdit); }

    fs::path journalFolder;
};

TEST_F(InterruptedUpdateTest, TheDeviceIsRecordedFromTheMoveAsideUntilTheRestore) {
    world.dialog.OnScriptButton();
    ASSERT_TRUE(world.runUntil([&] { return world.device.commands.size() == 3; }));
    EXPECT_TRUE(recorded());
    runToEnd();
    EXPECT_TRUE(world.succeeded());
    EXPECT_FALSE(recorded());
}

TEST_F(InterruptedUpdateTest, AnUpdateOfADeviceLeftMovedAsideRestoresFirst) {
    InterruptionJournal(journalFolder.string())
        .record(address(), {address(), 21, 8002, "2026-01-01T00:00:00Z", world.package.dir()});
    world.dialog.OnScriptButton();
    runToEnd();
    ASSERT_EQ(world.observer.outcomes.size(), 1u);
    EXPECT_EQ(world.outcome()->procedure, UpdateProcedure::AutoscriptRestore);
    EXPECT_TRUE(world.succeeded());
    EXPECT_EQ(world.outcome()->restore, RestoreResult::Completed);
    EXPECT_EQ(boxTexts(), (Texts{"前回のアップデートが中断されています。\n先にAutoScriptを元に戻します。",
                                 "AutoScriptを元に戻しました。"}));
    EXPECT_EQ(world.device.commands, (Texts{"exec \"B:\\m_AutoScript.wcr\"", "reboot"}));
    EXPECT_FALSE(recorded());
    // The next press is the update itself.
    world.dialog.OnScriptButton();
    runToEnd();
    EXPECT_TRUE(world.succeeded());
    EXPECT_EQ(world.outcome()->procedure, UpdateProcedure::Script);
}

TEST_F(InterruptedUpdateTest, AJournalThatCannotBeUsedStopsTheUpdateBeforeTheDevice) {
    fs::create_directories(journalFolder.parent_path());
    // A file where the folder should be.
    std::ofstream(journalFolder) << "in the way";
    world.dialog.OnScriptButton();
    runToEnd();
    EXPECT_FALSE(world.succeeded());
    EXPECT_TRUE(world.lastBox().starts_with("中断記録ファイル読み込みエラー(" + journalFolder.string())) << world.lastBox();
    EXPECT_TRUE(world.uploader.uploads.empty());
    EXPECT_TRUE(world.device.commands.empty());
    EXPECT_TRUE(world.buttonsEnabled());
    fs::remove(journalFolder);
}

TEST_F(InterruptedUpdateTest, AJournalThatCannotBeWrittenStopsTheUpdateBeforeTheMoveAsideRuns) {
    world.dialog.OnScriptButton();
    // The journal goes away while the move-aside script is on its way to the device.
    ASSERT_TRUE(world.runUntil([&] { return world.uploader.uploads.size() == 1; }));
    fs::remove_all(journalFolder);
    std::ofstream(journalFolder) << "in the way";
    runToEnd();
    EXPECT_FALSE(world.succeeded());
    EXPECT_TRUE(world.lastBox().starts_with("中断記録ファイル作成エラー(" + journalFolder.string())) << world.lastBox();
    // Only the move-aside script itself went to the device; it never ran.
    EXPECT_EQ(world.uploader.uploads.size(), 1u);
    EXPECT_TRUE(world.device.commands.empty());
    EXPECT_FALSE(world.dialog.consoleOpen());
    EXPECT_TRUE(world.buttonsEnabled());
    fs::remove(journalFolder);
}

// An update that never reached the move-aside leaves the device as it was: nothing to restore next time.
TEST_F(InterruptedUpdateTest, AnUpdateThatFailsBeforeTheMoveAsideRecordsNothing) {
    world.host.setControlText(kPasswordEdit, "wrong");
    world.dialog.OnScriptButton();
    runToEnd();
    EXPECT_FALSE(world.succeeded());
    EXPECT_TRUE(journalEmpty());

    world.host.setControlText(kPasswordEdit, world.device.password);
    world.device.down = true;
    world.dialog.OnScriptButton();
    runToEnd();
    EXPECT_FALSE(world.succeeded());
    EXPECT_TRUE(journalEmpty());

    world.device.down = false;
    world.dialog.OnScriptButton();
    runToEnd();
    EXPECT_TRUE(world.succeeded());
    EXPECT_EQ(world.outcome()->procedure, UpdateProcedure::Script);
}

// A record that is there but cannot be read may stand for a device without its autoscript: the update stops.
TEST_F(InterruptedUpdateTest, ARecordThatCannotBeReadStopsTheUpdateBeforeTheDevice) {
    const std::string entry = InterruptionJournal(journalFolder.string()).pathFor(address(), 8002);
    fs::create_directories(entry);
    world.dialog.OnScriptButton();
    runToEnd();
    EXPECT_FALSE(world.succeeded());
    EXPECT_TRUE(world.lastBox().starts_with("中断記録ファイル読み込みエラー(" + entry + ")\n")) << world.lastBox();
    EXPECT_TRUE(world.uploader.uploads.empty());
    EXPECT_TRUE(world.device.commands.empty());
    EXPECT_TRUE(world.buttonsEnabled());
}

// The record names the device, not the text typed: another spelling of its address finds it.
TEST_F(InterruptedUpdateTest, TheRecordIsFoundUnderAnotherSpellingOfTheAddress) {
    const std::string device = address();
    InterruptionJournal(journalFolder.string())
        .record(device, {device, 21, 8002, "2026-01-01T00:00:00Z", world.package.dir()});
    world.network.sameDevice["::ffff:" + device] = device;
    world.host.setControlText(kAddressEdit, "::ffff:" + device);
    world.dialog.OnScriptButton();
    runToEnd();
    EXPECT_EQ(world.outcome()->procedure, UpdateProcedure::AutoscriptRestore);
    EXPECT_EQ(world.outcome()->restore, RestoreResult::Completed);
    EXPECT_FALSE(recorded(device));
    EXPECT_TRUE(journalEmpty());
}

TEST_F(InterruptedUpdateTest, TheRestoreAloneEndsWithItsOwnMessage) {
    world.dialog.OnRestoreAutoscript();
    runToEnd();
    EXPECT_TRUE(world.succeeded());
    EXPECT_EQ(world.outcome()->procedure, UpdateProcedure::AutoscriptRestore);
    EXPECT_EQ(boxTexts(), Texts{"AutoScriptを元に戻しました。"});
    EXPECT_EQ(world.uploader.uploads.front().content->size(), 233u);
}

}  // namespace
}  // namespace tessel::sim
