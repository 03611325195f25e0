// A firmware image that is a link, and a program folder given as an absolute POSIX path of exact length.
#include <filesystem>

#include "procedure_fixture.h"

namespace tessel::sim {
namespace {

using FirmwareChainTest = ProcedureTest;

// A link could lead the upload outside the package: it counts as a local file that cannot be opened.
TEST_F(FirmwareChainTest, AFirmwareImageThatIsALinkIsNeverUploaded) {
    world.package.remove("kbteva.bin");
    std::filesystem::create_symlink(world.package.path("prism3.dat"), world.package.path("kbteva.bin"));
    world.dialog.OnFirmwareButton();
    runToEnd();
    EXPECT_TRUE(world.uploader.uploads.empty());
    EXPECT_EQ(boxTexts(), Texts{"FTP送信エラー(自分側ファイルエラー)"});
    EXPECT_EQ(world.network.socketsCreated(), 0);
}

TEST_F(FirmwareChainTest, AProgramDirectoryTooLongForTheFileNamesIsRefusedBeforeAnyUpload) {
    const std::string name = "/GetSysVer.wcr";
    // The longest name of the firmware files just fits: the first upload is tried (and finds no file).
    std::string directory = "/" + std::string(259 - name.size() - 1, 'd');
    world.dialog.InitDialog(directory);
    world.dialog.OnFirmwareButton();
    EXPECT_EQ(world.uploader.uploads.size(), 1u);
    EXPECT_EQ(world.lastBox(), "FTP送信エラー(自分側ファイルエラー)");

    directory += 'd';
    world.dialog.InitDialog(directory);
    world.dialog.OnFirmwareButton();
    EXPECT_EQ(world.uploader.uploads.size(), 1u);
    EXPECT_EQ(world.lastBox(), "ファイルパス文字数オーバー(" + directory + "/GetSysVer.wcr)");
    EXPECT_EQ(world.status(), world.lastBox());
    EXPECT_EQ(world.network.socketsCreated(), 0);
    EXPECT_TRUE(world.buttonsEnabled());
}

}  // namespace
}  // namespace tessel::sim
