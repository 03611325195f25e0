// Package files that are FIFOs or links, and the work folder's modes: POSIX only.
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "script_transfer_fixture.h"

namespace tessel::sim {
namespace {

// A FIFO would block the copy for good, a link to a device would be read without end: neither is read.
TEST_F(ScriptTransferTest, AScrambledFileThatIsALinkOrAFifoIsNotReadAndNothingIsSent) {
    for (const bool fifo : {false, true}) {
        SCOPED_TRACE(fifo ? "FIFO" : "link");
        SimWorld fresh;
        const std::string path = fresh.package.path("a2.dat");
        fresh.package.remove("a2.dat");
        if (fifo) {
            ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
        } else {
            std::filesystem::create_symlink("/dev/zero", path);
        }
        fresh.dialog.OnScriptButton();
        ASSERT_TRUE(fresh.settle());
        Texts boxes;
        for (const auto& box : fresh.host.boxes) boxes.push_back(box.text);
        EXPECT_EQ(boxes, (Texts{"送信元ファイル異常(" + path + ")", "アップデートファイル異常"}));
        EXPECT_TRUE(fresh.uploader.uploads.empty());
    }
}

TEST_F(ScriptTransferTest, TheWorkFolderIsTheOwnersAloneAndGoesWithTheRun) {
    std::string folder;
    world.uploader.duringSend = [&](const UploadRequest& request) {
        folder = world.dialog.workFolder();
        using std::filesystem::perms;
        EXPECT_EQ(std::filesystem::status(folder).permissions() & perms::all, perms::owner_all);
        if (request.localPath.starts_with(folder)) {
            EXPECT_EQ(std::filesystem::status(request.localPath).permissions() & perms::all,
                      perms::owner_read | perms::owner_write);
        }
    };
    {
        SimWorld second;
        second.dialog.OnScriptButton();
        world.dialog.OnScriptButton();
        runToEnd();
        ASSERT_TRUE(second.settle());
        EXPECT_TRUE(second.succeeded());
        EXPECT_NE(second.dialog.workFolder(), world.dialog.workFolder());
        EXPECT_TRUE(std::filesystem::exists(second.dialog.workFolder()));
        const std::string secondFolder = second.dialog.workFolder();
        // SimWorld second ends here.
        folder = secondFolder;
    }
    EXPECT_FALSE(std::filesystem::exists(folder));
    EXPECT_TRUE(world.succeeded());
}

}  // namespace
}  // namespace tessel::sim
