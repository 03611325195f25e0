#include <string>

#include "scratch_folder.h"

namespace tessel::os {
namespace {

using FilesTest = ScratchFolder;

// Bytes a text-mode read or write would change: line ends, a Ctrl-Z, a NUL, a lone CR.
const std::string kBinary("MZ\r\n\x1A\0\n\r\xFF\x00tail", 15);

TEST_F(FilesTest, WritesAndReadsBytesUnchanged) {
    ASSERT_TRUE(WriteNewFile(path("image.bin"), kBinary));
    EXPECT_EQ(ReadFileBytes(path("image.bin"), 1024), kBinary);
    EXPECT_FALSE(IsLinkOrSpecialFile(path("image.bin")));

    ASSERT_TRUE(WriteNewFile(path("empty"), ""));
    EXPECT_EQ(ReadFileBytes(path("empty"), 0), "");
}

TEST_F(FilesTest, ReadRefusesLargerFilesFoldersAndMissingFiles) {
    ASSERT_TRUE(WriteNewFile(path("ten"), "0123456789"));
    EXPECT_EQ(ReadFileBytes(path("ten"), 10), "0123456789");
    EXPECT_FALSE(ReadFileBytes(path("ten"), 9).has_value());

    ASSERT_TRUE(MakeFolders(path("folder")));
    EXPECT_FALSE(ReadFileBytes(path("folder"), 1024).has_value());
    EXPECT_TRUE(IsLinkOrSpecialFile(path("folder")));

    EXPECT_FALSE(ReadFileBytes(path("missing"), 1024).has_value());
    EXPECT_FALSE(IsLinkOrSpecialFile(path("missing")));
}

TEST_F(FilesTest, NewFileIsCreatedOnlyWhereNothingIs) {
    ASSERT_TRUE(WriteNewFile(path("entry"), "first"));
    EXPECT_FALSE(WriteNewFile(path("entry"), "second"));
    EXPECT_EQ(ReadFileBytes(path("entry"), 1024), "first");

    ASSERT_TRUE(MakeFolders(path("folder")));
    EXPECT_FALSE(WriteNewFile(path("folder"), "x"));
    EXPECT_FALSE(WriteNewFile(JoinPath(path("missing"), "file"), "x"));
}

TEST_F(FilesTest, ReplacePutsTheNewFileInPlaceOfTheOld) {
    ASSERT_TRUE(WriteNewFile(path("entry"), "old"));
    ASSERT_TRUE(WriteNewFile(path("entry.new"), "new"));
    EXPECT_TRUE(ReplaceFileAtomically(path("entry.new"), path("entry")));
    EXPECT_EQ(ReadFileBytes(path("entry"), 1024), "new");
    EXPECT_FALSE(ReadFileBytes(path("entry.new"), 1024).has_value());

    ASSERT_TRUE(WriteNewFile(path("other.new"), "fresh"));
    EXPECT_TRUE(ReplaceFileAtomically(path("other.new"), path("other")));
    EXPECT_EQ(ReadFileBytes(path("other"), 1024), "fresh");

    EXPECT_FALSE(ReplaceFileAtomically(path("missing"), path("entry")));
    EXPECT_EQ(ReadFileBytes(path("entry"), 1024), "new");
}

TEST_F(FilesTest, RemoveTakesFilesOnly) {
    ASSERT_TRUE(WriteNewFile(path("file"), "x"));
    EXPECT_TRUE(RemoveFile(path("file")));
    EXPECT_FALSE(RemoveFile(path("file")));
    EXPECT_TRUE(WriteNewFile(path("file"), "again"));

    ASSERT_TRUE(MakeFolders(path("folder")));
    EXPECT_FALSE(RemoveFile(path("folder")));
    EXPECT_TRUE(IsLinkOrSpecialFile(path("folder")));
}

TEST_F(FilesTest, MakeFoldersMakesMissingParentsAndAcceptsExistingOnes) {
    const std::string deep = JoinPath(JoinPath(path("a"), "b"), "c");
    EXPECT_TRUE(MakeFolders(deep));
    EXPECT_TRUE(MakeFolders(deep));
    EXPECT_TRUE(WriteNewFile(JoinPath(deep, "file"), "x"));

    ASSERT_TRUE(WriteNewFile(path("plain"), "x"));
    EXPECT_FALSE(MakeFolders(path("plain")));
    EXPECT_FALSE(MakeFolders(JoinPath(path("plain"), "below")));
}

TEST(PathTest, JoinedPathsSplitAtTheirLastComponent) {
    const std::string joined = JoinPath("folder", "name.txt");
    EXPECT_EQ(joined.size(), std::string("folder/name.txt").size());
    EXPECT_EQ(LastPathComponent(joined), "name.txt");
    EXPECT_EQ(LastPathComponent(JoinPath(JoinPath("a", "b"), "c")), "c");
    EXPECT_EQ(LastPathComponent("plain"), "plain");
    EXPECT_EQ(LastPathComponent("../../etc/passwd"), "passwd");
    EXPECT_EQ(LastPathComponent(JoinPath("folder", "")), "");
}

}  // namespace
}  // namespace tessel::os
