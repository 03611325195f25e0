#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "scratch_folder.h"

namespace tessel::os {
namespace {

using PosixFilesTest = ScratchFolder;

TEST_F(PosixFilesTest, LinksAreNeverFollowedInTheLastComponent) {
    ASSERT_TRUE(WriteNewFile(path("target"), "secret"));
    ASSERT_EQ(::symlink(path("target").c_str(), path("link").c_str()), 0);
    EXPECT_FALSE(ReadFileBytes(path("link"), 1024).has_value());
    EXPECT_TRUE(IsLinkOrSpecialFile(path("link")));
    // Neither through a link to a file nor through one that points nowhere yet.
    EXPECT_FALSE(WriteNewFile(path("link"), "planted"));
    EXPECT_EQ(ReadFileBytes(path("target"), 1024), "secret");
    ASSERT_EQ(::symlink(path("nowhere").c_str(), path("dangling").c_str()), 0);
    EXPECT_FALSE(WriteNewFile(path("dangling"), "planted"));
    EXPECT_FALSE(ReadFileBytes(path("nowhere"), 1024).has_value());
    EXPECT_TRUE(IsLinkOrSpecialFile(path("dangling")));
}

TEST_F(PosixFilesTest, FifosAndDevicesAreRefusedWithoutBlocking) {
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
    EXPECT_FALSE(ReadFileBytes(path("fifo"), 1024).has_value());
    EXPECT_TRUE(IsLinkOrSpecialFile(path("fifo")));
    EXPECT_FALSE(WriteNewFile(path("fifo"), "x"));
    EXPECT_FALSE(ReadFileBytes("/dev/zero", 1024).has_value());
    EXPECT_TRUE(IsLinkOrSpecialFile("/dev/null"));
}

TEST_F(PosixFilesTest, ReplaceOverwritesALinkItselfNotItsTarget) {
    ASSERT_TRUE(WriteNewFile(path("target"), "kept"));
    ASSERT_EQ(::symlink(path("target").c_str(), path("entry").c_str()), 0);
    ASSERT_TRUE(WriteNewFile(path("entry.new"), "new"));
    EXPECT_TRUE(ReplaceFileAtomically(path("entry.new"), path("entry")));
    EXPECT_EQ(ReadFileBytes(path("entry"), 1024), "new");
    EXPECT_EQ(ReadFileBytes(path("target"), 1024), "kept");
}

TEST_F(PosixFilesTest, PathsUseTheSlash) {
    EXPECT_EQ(JoinPath("/a/b", "c"), "/a/b/c");
    EXPECT_EQ(LastPathComponent("/a/b\\c"), "b\\c");
}

}  // namespace
}  // namespace tessel::os
