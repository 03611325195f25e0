#include "dialog/control_ids.h"
#include "dialog_fixture.h"
#include "fake_console.h"
#include "message_box_answerer.h"
#include "sample_package.h"
#include "tests/platform/qt_test_support.h"

namespace tessel::gui_test {
namespace {

using DialogInitialisationTest = DialogTest;

TEST_F(DialogInitialisationTest, ShowsCaptionAndVersionsOfTheManagementFile) {
    SamplePackage package;
    package.writeManagementFile("#T# テッセル 更新パッケージ①\r\n#F# 01.07.02\r\n#S# スクリプト 2.0\r\n#A# move\r\n");
    dialog.initialise(package.dir());

    EXPECT_EQ(dialog.window().windowTitle(), "テッセル 更新パッケージ①");
    EXPECT_EQ(edit(kFirmwareVersionEdit)->text(), "01.07.02");
    EXPECT_EQ(edit(kScriptVersionEdit)->text(), "スクリプト 2.0");
    EXPECT_EQ(edit(kAddressEdit)->text(), "192.168.1.200");
    EXPECT_EQ(edit(kFtpPortEdit)->text(), "21");
    EXPECT_EQ(dialog.dialog().moveFlag(), 1);
    EXPECT_EQ(dialog.dialog().step(), 0);
}

TEST_F(DialogInitialisationTest, LeavesCaptionAndVersionsEmptyWithoutAManagementFile) {
    SamplePackage package;
    dialog.initialise(package.dir());

    EXPECT_TRUE(dialog.window().windowTitle().isEmpty());
    EXPECT_TRUE(edit(kFirmwareVersionEdit)->text().isEmpty());
    EXPECT_TRUE(edit(kScriptVersionEdit)->text().isEmpty());
    EXPECT_EQ(edit(kAddressEdit)->text(), "192.168.1.200");
    EXPECT_EQ(edit(kFtpPortEdit)->text(), "21");
    EXPECT_EQ(dialog.dialog().moveFlag(), 0);
    EXPECT_TRUE(button(kFirmwareButton)->isEnabled());
    EXPECT_TRUE(button(kScriptButton)->isEnabled());
}

TEST_F(DialogInitialisationTest, ReachesTheDeviceOnThePortsItIsGiven) {
    FakeConsole console;
    ASSERT_TRUE(console.listening());
    MessageBoxAnswerer boxes;
    SamplePackage package;
    dialog.initialise(package.dir(), DevicePorts{2121, console.port()});
    EXPECT_EQ(edit(kFtpPortEdit)->text(), "2121");
    EXPECT_FALSE(edit(kFtpPortEdit)->isVisible());

    dialog.window().show();
    edit(kAddressEdit)->setText("127.0.0.1");
    edit(kLoginIdEdit)->setText("admin");
    edit(kPasswordEdit)->setText("admin");
    // The script update of a package without the move-aside connects to the console first.
    button(kScriptButton)->click();
    EXPECT_TRUE(qt_test::WaitFor([&] { return dialog.dialog().step() == 2; }));
    EXPECT_EQ(dialog.dialog().ftpPort(), 2121);
    EXPECT_TRUE(boxes.shown().empty());
}

}  // namespace
}  // namespace tessel::gui_test
