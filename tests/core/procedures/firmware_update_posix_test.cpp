// A firmware image that is a link: POSIX file systems make one for a test.
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

}  // namespace
}  // namespace tessel::sim
