// The Win32 dialog initialised from an update package: caption and versions decoded from code page 932.
#include <filesystem>
#include <fstream>

#include "dialog/control_ids.h"
#include "dialog/cp932.h"
#include "platform/os/folders.h"
#include "platform/win32/win32_dialog_host.h"
#include "win32_dialog_fixture.h"

namespace tessel::gui_test {
namespace {

// A package folder of its own, removed with the object.
class PackageFolder {
public:
    PackageFolder() : folder_(os::MakePrivateFolder().value_or("")) { EXPECT_FALSE(folder_.empty()); }
    ~PackageFolder() { os::RemoveFolderTree(folder_); }
    const std::string& dir() const { return folder_; }
    // Writes a management file whose lines are given in UTF-8 and stored in code page 932.
    void writeManagementFile(const std::string& utf8Lines) const {
        const std::optional<std::string> cp932 = Utf8ToCp932(utf8Lines);
        ASSERT_TRUE(cp932.has_value());
        std::ofstream file(std::filesystem::u8path(folder_ + "\\UpDateMng.txt"), std::ios::binary);
        file.write(cp932->data(), static_cast<std::streamsize>(cp932->size()));
        ASSERT_TRUE(file.good());
    }

private:
    std::string folder_;
};

using Win32DialogInitialisationTest = Win32DialogTest;

TEST_F(Win32DialogInitialisationTest, ShowsCaptionAndVersionsOfTheManagementFile) {
    PackageFolder package;
    package.writeManagementFile("#T# テッセル 更新パッケージ①\r\n#F# 01.07.02\r\n#S# スクリプト 2.0\r\n#A# move\r\n");
    dialog.initialise(package.dir());

    EXPECT_EQ(WindowTextUtf8(dialog.window().handle()), "テッセル 更新パッケージ①");
    EXPECT_EQ(text(kFirmwareVersionEdit), "01.07.02");
    EXPECT_EQ(text(kScriptVersionEdit), "スクリプト 2.0");
    EXPECT_EQ(text(kAddressEdit), "192.168.1.200");
    EXPECT_EQ(text(kFtpPortEdit), "21");
    EXPECT_EQ(dialog.dialog().moveFlag(), 1);
    EXPECT_EQ(dialog.dialog().step(), 0);
}

TEST_F(Win32DialogInitialisationTest, LeavesCaptionAndVersionsEmptyWithoutAManagementFile) {
    PackageFolder package;
    dialog.initialise(package.dir());

    EXPECT_EQ(WindowTextUtf8(dialog.window().handle()), "");
    EXPECT_EQ(text(kFirmwareVersionEdit), "");
    EXPECT_EQ(text(kScriptVersionEdit), "");
    EXPECT_EQ(text(kAddressEdit), "192.168.1.200");
    EXPECT_EQ(text(kFtpPortEdit), "21");
    EXPECT_EQ(dialog.dialog().moveFlag(), 0);
    EXPECT_TRUE(enabled(kFirmwareButton));
    EXPECT_TRUE(enabled(kScriptButton));
}

TEST_F(Win32DialogInitialisationTest, TypedJapaneseReachesTheCoreAsCodePage932) {
    PackageFolder package;
    dialog.initialise(package.dir());
    setText(kLoginIdEdit, "管理者");
    EXPECT_EQ(text(kLoginIdEdit), "管理者");
    EXPECT_EQ(Utf8ToCp932(text(kLoginIdEdit)), std::optional<std::string>("\x8a\xc7\x97\x9d\x8e\xd2"));
}

}  // namespace
}  // namespace tessel::gui_test
