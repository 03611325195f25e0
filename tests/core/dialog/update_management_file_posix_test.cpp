// Management files that are FIFOs or links: only POSIX file systems make them for a test.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "dialog/update_management_file.h"
#include "update_management_file_fixture.h"

namespace tessel {
namespace {

// A file that opens but fails to read: a folder of that name, and a link to a file whose reads fail.
TEST_F(UpdateManagementFileTest, AFileThatCannotBeReadIsOneThatCannotBeOpened) {
    const auto path = directory_ / "UpDateMng.txt";
    for (const bool folder : {true, false}) {
        std::filesystem::remove_all(path);
        if (folder) {
            std::filesystem::create_directory(path);
        } else {
            std::filesystem::create_symlink("/proc/self/mem", path);
        }
        UpdateHeader h{"old", "1", "2", 1};
        EXPECT_FALSE(ReadUpdateHeader(dir(), h)) << folder;
        EXPECT_EQ(h.caption, "");
        EXPECT_EQ(h.moveFlag, 0);
        std::vector<UpdateFileEntry> list{{"a", "b", "c"}};
        std::uint8_t key = 7;
        EXPECT_EQ(ReadUpdateFileList(dir(), list, key), -1) << folder;
        EXPECT_EQ(list.size(), 1u);
        EXPECT_EQ(key, 7);
    }
}

TEST_F(HostileManagementFileTest, AFifoOrALinkIsNoManagementFile) {
    const std::filesystem::path file = directory_ / "UpDateMng.txt";
    const std::filesystem::path elsewhere = directory_ / "elsewhere.txt";
    std::ofstream(elsewhere) << "#T# from outside\n";
    std::filesystem::create_symlink(elsewhere, file);
    UpdateHeader h;
    EXPECT_FALSE(ReadUpdateHeader(dir(), h));
    std::filesystem::remove(file);
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    // Opening a FIFO without a writer would block for good.
    EXPECT_FALSE(ReadUpdateHeader(dir(), h));
    std::vector<UpdateFileEntry> list;
    std::uint8_t key = 0;
    EXPECT_EQ(ReadUpdateFileList(dir(), list, key), -1);
}

}  // namespace
}  // namespace tessel
