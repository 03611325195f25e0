#include "SkiffS/SkiffS.h"
#include "skiffs_fixture.h"

namespace tessel::test {
namespace {

using Download = SkiffsTest;

TEST_F(Download, FetchesTheFileAsTheServerHoldsIt) {
    const std::string bytes = PatternBytes(70000);
    WriteFileBytes(Remote("C:/www/control/page.bin"), bytes);
    ASSERT_EQ(Get("C:\\www\\control\\page.bin", Local("page.bin").string()), 0);
    EXPECT_EQ(ReadFileBytes(Local("page.bin")), bytes);
    EXPECT_EQ(CurlDownload("C:/www/control/page.bin"), bytes);
    // The name was looked up in the listing of its directory first.
    EXPECT_TRUE(ServerSaw("LIST"));
    EXPECT_TRUE(LeftoverTemporaryFiles().empty());
}

TEST_F(Download, ReplacesAnExistingLocalFile) {
    WriteFileBytes(Remote("B:/short.txt"), "new");
    const std::string local = LocalFile("short.txt", "a much longer old content");
    ASSERT_EQ(Get("B:/short.txt", local), 0);
    EXPECT_EQ(ReadFileBytes(local), "new");
}

TEST_F(Download, ListingMatchIgnoresLetterCaseAndOpensTheNameAsWritten) {
    WriteFileBytes(Remote("B:/data.bin"), "x");
    // The listing matches; the file is then opened as "DATA.BIN", which this server does not have.
    EXPECT_EQ(Get("B:/DATA.BIN", Local("d.bin").string()), SKIFF_REMOTE_ERROR);
    EXPECT_TRUE(ServerSaw("RETR B:/DATA.BIN"));
    // A name that is not listed is never opened.
    server_->ClearCommands();
    EXPECT_EQ(Get("B:/other.bin", Local("o.bin").string()), SKIFF_REMOTE_ERROR);
    EXPECT_FALSE(ServerSaw("RETR"));
}

TEST_F(Download, UnlistedFileLeavesAnEmptyNewOrAnUnchangedOldLocalFile) {
    ASSERT_EQ(Get("B:/none.txt", Local("new.txt").string()), SKIFF_REMOTE_ERROR);
    EXPECT_TRUE(std::filesystem::exists(Local("new.txt")));
    EXPECT_EQ(ReadFileBytes(Local("new.txt")), "");
    const std::string old = LocalFile("old.txt", "keep me");
    ASSERT_EQ(Get("B:/none.txt", old), SKIFF_REMOTE_ERROR);
    EXPECT_EQ(ReadFileBytes(old), "keep me");
    EXPECT_TRUE(LeftoverTemporaryFiles().empty());
}

TEST_F(Download, PathsWithoutDirectoryAreLookedUpInTheLoginDirectory) {
    WriteFileBytes(Remote("top.txt"), "top");
    ASSERT_EQ(Get("top.txt", Local("a.txt").string()), 0);
    EXPECT_EQ(ReadFileBytes(Local("a.txt")), "top");
    ASSERT_EQ(Get("./top.txt", Local("b.txt").string()), 0);
    EXPECT_EQ(ReadFileBytes(Local("b.txt")), "top");
    EXPECT_TRUE(ServerSaw("RETR top.txt"));
}

TEST_F(Download, EmptyRemoteFileSucceedsInBinaryButNotInAsciiMode) {
    WriteFileBytes(Remote("B:/empty.txt"), "");
    ASSERT_EQ(Get("B:/empty.txt", Local("bin.txt").string(), kBinary), 0);
    EXPECT_EQ(ReadFileBytes(Local("bin.txt")), "");
    EXPECT_EQ(Get("B:/empty.txt", Local("asc.txt").string(), kAscii), SKIFF_TEMP_COPY_ERROR);
    EXPECT_TRUE(std::filesystem::exists(Local("asc.txt")));
    EXPECT_TRUE(LeftoverTemporaryFiles().empty());
}

TEST_F(Download, AsciiModeConvertsTheReceivedText) {
    WriteFileBytes(Remote("B:/jis.txt"), "\x1B$B\x30\x21\x1B(BA");
    ASSERT_EQ(Get("B:/jis.txt", Local("j.txt").string(), kAscii, 1, 3), 0);
    EXPECT_EQ(ReadFileBytes(Local("j.txt")), "\x88\x9F" "A");
    WriteFileBytes(Remote("B:/euc.txt"), "\xB0\xA1\x8E\xB1");
    ASSERT_EQ(Get("B:/euc.txt", Local("e.txt").string(), kAscii, 1, 4), 0);
    EXPECT_EQ(ReadFileBytes(Local("e.txt")), "\x88\x9F\xB1");
    // Binary mode keeps the bytes whatever the conversion.
    ASSERT_EQ(Get("B:/euc.txt", Local("b.txt").string(), kBinary, 1, 4), 0);
    EXPECT_EQ(ReadFileBytes(Local("b.txt")), "\xB0\xA1\x8E\xB1");
}

TEST_F(Download, RemoteNameIsLookedUpInEucJpWithConversionFour) {
    WriteFileBytes(Remote("B:/\xB0\xA1.txt"), "kanji");
    ASSERT_EQ(Get("B:/\x88\x9F.txt", Local("k.txt").string(), kBinary, 1, 4), 0);
    EXPECT_EQ(ReadFileBytes(Local("k.txt")), "kanji");
}

TEST_F(Download, LocalFileThatCannotBeWrittenIsRefused) {
    WriteFileBytes(Remote("B:/a.txt"), "a");
    EXPECT_EQ(Get("B:/a.txt", (dir_ / "no-such-dir" / "a.txt").string()), SKIFF_LOCAL_FILE_ERROR);
    EXPECT_FALSE(ServerSaw("LIST"));
}

TEST_F(Download, AnyNonzeroPassiveValueMeansPassive) {
    WriteFileBytes(Remote("B:/p.txt"), "passive");
    ASSERT_EQ(Get("B:/p.txt", Local("p.txt").string(), kBinary, 2), 0);
    EXPECT_EQ(ReadFileBytes(Local("p.txt")), "passive");
    EXPECT_TRUE(ServerSaw("EPSV") || ServerSaw("PASV"));
    ASSERT_EQ(Get("B:/p.txt", Local("q.txt").string(), kBinary, 0), 0);
    EXPECT_TRUE(ServerSaw("EPRT") || ServerSaw("PORT"));
}

}  // namespace
}  // namespace tessel::test
