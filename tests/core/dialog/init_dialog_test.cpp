#include <gtest/gtest.h>

#include <filesystem>

#include "dialog/cp932.h"
#include "dialog/package_folder.h"
#include "dialog/program_directory.h"
#include "sim_world.h"

namespace tessel::sim {
namespace {

TEST(ProgramDirectoryTest, ThePathIsCutAtItsLastSeparatorNeverWithinTheFirstTwoCharacters) {
    EXPECT_EQ(ProgramDirectoryOf("/opt/tessel/bin/tessel"), "/opt/tessel/bin");
    EXPECT_EQ(ProgramDirectoryOf("C:\\Tools\\Tessel.exe"), "C:\\Tools");
    EXPECT_EQ(ProgramDirectoryOf("C:\\Tessel.exe"), "C:");
    EXPECT_EQ(ProgramDirectoryOf("/t"), "/t");
}

TEST(PackageFolderTest, TheProgramsFolderServesOnlyWhenItHoldsTheManagementFile) {
    SimWorld world;
    const std::string programs = world.package.dir() + "/bin";
    std::filesystem::create_directory(programs);
    EXPECT_EQ(DefaultPackageFolder(programs, "/work/site7"), "/work/site7");
    EXPECT_EQ(DefaultPackageFolder(world.package.dir() + "/missing", "/work/site7"), "/work/site7");
    world.package.write("bin/UpDateMng.txt", "#T# x\r\n");
    EXPECT_EQ(DefaultPackageFolder(programs, "/work/site7"), programs);
}

TEST(InitDialogTest, TheHeaderOfThePackageFillsTheWindow) {
    SimWorld world;
    world.package.write("UpDateMng.txt", "#T# " + *Utf8ToCp932("テスト更新") +
                                             "\r\n#F# 01.07.02\r\n#S# 02.00.01\r\n#A# Move\r\n");
    world.dialog.InitDialog(world.package.dir());
    EXPECT_EQ(world.host.caption, "テスト更新");
    EXPECT_EQ(world.host.controlText(kFirmwareVersionEdit), "01.07.02");
    EXPECT_EQ(world.host.controlText(kScriptVersionEdit), "02.00.01");
    EXPECT_EQ(world.host.controlText(kAddressEdit), "192.168.1.200");
    EXPECT_EQ(world.host.controlText(kFtpPortEdit), "21");
    EXPECT_EQ(world.dialog.moveFlag(), 1);
    EXPECT_EQ(world.dialog.programDirectory(), world.package.dir());
}

TEST(InitDialogTest, APackageWithoutItsManagementFileOpensEmptyAndWithoutTheMoveAside) {
    SimWorld world;
    world.package.remove("UpDateMng.txt");
    world.dialog.setMoveFlag(0);
    world.host.setCaption("");
    world.dialog.InitDialog(world.package.dir());
    EXPECT_EQ(world.host.caption, "");
    EXPECT_EQ(world.dialog.moveFlag(), 0);
    EXPECT_TRUE(world.host.boxes.empty());
}

// The transfer library changes the current directory: every local path must stay valid after that.
TEST(InitDialogTest, ARelativePackageDirectoryIsMadeAbsolute) {
    SimWorld world;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(std::filesystem::path(world.package.dir()).parent_path());
    world.dialog.InitDialog(std::filesystem::path(world.package.dir()).filename().string() + "/");
    std::filesystem::current_path(previous);
    EXPECT_EQ(world.dialog.programDirectory(), world.package.dir());
}

TEST(UpdateButtonTest, RefusedInputStartsNothing) {
    SimWorld world;
    world.host.setControlText(kLoginIdEdit, std::string(16, 'a'));
    world.dialog.OnFirmwareButton();
    world.dialog.OnScriptButton();
    EXPECT_EQ(world.host.boxes.size(), 2u);
    EXPECT_EQ(world.lastBox(), "ログインID文字数オーバー");
    EXPECT_TRUE(world.uploader.uploads.empty());
    EXPECT_EQ(world.network.socketsCreated(), 0);
    EXPECT_TRUE(world.dialog.calls.empty());
}

TEST(UpdateButtonTest, TheScriptButtonStartsTheMoveAsideWhenThePackageAsksForIt) {
    SimWorld world;
    world.dialog.OnScriptButton();
    EXPECT_EQ(world.dialog.calls, std::vector<std::string>{"StartScriptTransfer"});
    world.dialog.setMoveFlag(1);
    world.dialog.calls.clear();
    world.dialog.OnScriptButton();
    EXPECT_EQ(world.dialog.calls, std::vector<std::string>{"StartAutoScript(0)"});
}

}  // namespace
}  // namespace tessel::sim
