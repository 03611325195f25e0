#include <unistd.h>

#include "SkiffS/SkiffS.h"
#include "skiffs_fixture.h"

namespace tessel::test {
namespace {

using Upload = SkiffsTest;

TEST_F(Upload, StoresTheFileUnderItsWholePathAfterEnteringItsDirectory) {
    const std::string bytes = PatternBytes(1025);
    ASSERT_EQ(Send(LocalFile("prism3.dat", bytes), "B:\\prism3.dat"), 0);
    EXPECT_EQ(ReadFileBytes(Remote("B:/prism3.dat")), bytes);

    // Log in and enter the directory part in one go, go back, store under the whole path.
    std::vector<std::string> seen;
    for (const std::string& c : server_->Commands()) {
        if (c.rfind("USER", 0) == 0 || c.rfind("CWD", 0) == 0 || c.rfind("STOR", 0) == 0) seen.push_back(c);
    }
    const std::vector<std::string> expected = {"USER user", "CWD B:", "CWD /", "STOR B:/prism3.dat"};
    EXPECT_EQ(seen, expected);
    EXPECT_TRUE(LeftoverTemporaryFiles().empty());
    EXPECT_EQ(CurlDownload("B:/prism3.dat"), bytes);
}

TEST_F(Upload, BlockSizesAroundTheBoundaryArriveWhole) {
    for (const std::size_t size : {std::size_t{1}, std::size_t{1023}, std::size_t{1024}, std::size_t{1025},
                                   std::size_t{300000}, std::size_t{1} << 20, (std::size_t{3} << 20) + 7}) {
        const std::string bytes = PatternBytes(size);
        ASSERT_EQ(Send(LocalFile("f.bin", bytes), "C:/www/control/f.bin"), 0) << size;
        EXPECT_EQ(ReadFileBytes(Remote("C:/www/control/f.bin")), bytes) << size;
    }
}

TEST_F(Upload, RemotePathsWithoutDirectoryGoToTheLoginDirectory) {
    ASSERT_EQ(Send(LocalFile("a.txt", "one"), "plain.txt"), 0);
    EXPECT_EQ(ReadFileBytes(Remote("plain.txt")), "one");
    ASSERT_EQ(Send(LocalFile("b.txt", "two"), ".\\dotted.txt"), 0);
    EXPECT_EQ(ReadFileBytes(Remote("dotted.txt")), "two");
    EXPECT_TRUE(ServerSaw("STOR dotted.txt"));
}

TEST_F(Upload, MissingRemoteDirectoryIsRefusedBeforeAnythingIsStored) {
    EXPECT_EQ(Send(LocalFile("a.txt", "x"), "Z:\\a.txt"), SKIFF_REMOTE_ERROR);
    EXPECT_FALSE(ServerSaw("STOR"));
    EXPECT_FALSE(std::filesystem::exists(Remote("Z:")));
    EXPECT_TRUE(LeftoverTemporaryFiles().empty());
}

TEST_F(Upload, TheVerboseConversationNeverShowsThePassword) {
    ::setenv("SKIFFS_VERBOSE", "1", 1);
    ::testing::internal::CaptureStderr();
    const int result = Send(LocalFile("a.txt", "x"), "B:\\a.txt");
    const std::string conversation = ::testing::internal::GetCapturedStderr();
    ::unsetenv("SKIFFS_VERBOSE");
    EXPECT_EQ(result, 0);
    EXPECT_NE(conversation.find("> USER user"), std::string::npos) << conversation;
    EXPECT_NE(conversation.find("> PASS ********"), std::string::npos) << conversation;
    EXPECT_EQ(conversation.find("secret"), std::string::npos) << conversation;
}

TEST_F(Upload, MissingLocalFileIsReportedOnlyAfterTheLogin) {
    EXPECT_EQ(Send(Local("absent.bin").string(), "B:\\absent.bin"), SKIFF_LOCAL_FILE_ERROR);
    EXPECT_TRUE(ServerSaw("PASS"));
    EXPECT_FALSE(ServerSaw("STOR"));
    // With a wrong password the same call fails at the login.
    EXPECT_EQ(Send(Local("absent.bin").string(), "B:\\absent.bin", kBinary, 1, 0, "wrong"), SKIFF_NO_CONNECTION);
    // The folder is looked at in the login's exchange, but a missing local file still counts first.
    EXPECT_EQ(Send(Local("absent.bin").string(), "Z:\\absent.bin"), SKIFF_LOCAL_FILE_ERROR);
    // A directory is no file to send.
    EXPECT_EQ(Send(Local("").string(), "B:\\dir.bin"), SKIFF_LOCAL_FILE_ERROR);
}

TEST_F(Upload, NoServerListeningIsNoConnection) {
    const unsigned short port = server_->port();
    server_.reset();
    const std::string local = LocalFile("a.txt", "x");
    EXPECT_EQ(CSkiffClient().Skiff_SendD("127.0.0.1", "user", "secret", port, kBinary, local.c_str(), "a.txt",
                                         1, 0),
              SKIFF_NO_CONNECTION);
}

TEST_F(Upload, EmptyFileIsSentInBinaryModeButRefusedInAsciiMode) {
    const std::string local = LocalFile("empty.txt", "");
    ASSERT_EQ(Send(local, "B:\\empty.bin", kBinary), 0);
    EXPECT_TRUE(std::filesystem::exists(Remote("B:/empty.bin")));
    EXPECT_EQ(std::filesystem::file_size(Remote("B:/empty.bin")), 0u);

    server_->ClearCommands();
    EXPECT_EQ(Send(local, "B:\\empty.txt", kAscii), SKIFF_TEMP_COPY_ERROR);
    EXPECT_FALSE(std::filesystem::exists(Remote("B:/empty.txt")));
    EXPECT_FALSE(ServerSaw("STOR"));
    EXPECT_TRUE(LeftoverTemporaryFiles().empty());
}

TEST_F(Upload, ContentIsConvertedOnlyInAsciiMode) {
    const std::string sjis = "A\x88\x9F";
    ASSERT_EQ(Send(LocalFile("s.txt", sjis), "B:\\jis.txt", kAscii, 1, 1), 0);
    EXPECT_EQ(ReadFileBytes(Remote("B:/jis.txt")), "\x1B(BA\x1B$B\x30\x21");
    ASSERT_EQ(Send(LocalFile("s.txt", sjis), "B:\\euc.txt", kAscii, 1, 3), 0);
    // JIS to Shift-JIS drops the text before the first escape sequence.
    EXPECT_EQ(ReadFileBytes(Remote("B:/euc.txt")), "");
    // Binary mode sends the file as it is, whatever the conversion.
    ASSERT_EQ(Send(LocalFile("s.txt", sjis), "B:\\bin.txt", kBinary, 1, 3), 0);
    EXPECT_EQ(ReadFileBytes(Remote("B:/bin.txt")), sjis);
    // The local file is never touched.
    EXPECT_EQ(ReadFileBytes(Local("s.txt")), sjis);
}

TEST_F(Upload, RemoteNameIsSentInEucJpOnlyWithConversionTwo) {
    const std::string name = "\x88\x9F\xB1.txt";  // a kanji and a half-width katakana
    ASSERT_EQ(Send(LocalFile("n.txt", "data"), "B:\\" + name, kBinary, 1, 2), 0);
    EXPECT_EQ(ReadFileBytes(Remote("B:/\xB0\xA1\x8E\xB1.txt")), "data");
    ASSERT_EQ(Send(LocalFile("n.txt", "data"), "B:\\" + name, kBinary, 1, 1), 0);
    EXPECT_EQ(ReadFileBytes(Remote("B:/" + name)), "data");
}

TEST_F(Upload, ActiveModeWorksToo) {
    const std::string bytes = PatternBytes(5000);
    ASSERT_EQ(Send(LocalFile("a.bin", bytes), "B:\\active.bin", kBinary, 0), 0);
    EXPECT_EQ(ReadFileBytes(Remote("B:/active.bin")), bytes);
    EXPECT_TRUE(ServerSaw("EPRT") || ServerSaw("PORT"));
}

TEST_F(Upload, RelativeLocalPathNamesAFileBesideTheExecutable) {
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe");
    const std::string name = "skiffs-relative-" + std::to_string(getpid()) + ".txt";
    WriteFileBytes(exe.parent_path() / name, "beside");
    const std::filesystem::path elsewhere = dir_;
    std::filesystem::current_path(elsewhere);
    const int result = Send(name, "B:\\rel.txt");
    std::filesystem::remove(exe.parent_path() / name);
    ASSERT_EQ(result, 0);
    EXPECT_EQ(ReadFileBytes(Remote("B:/rel.txt")), "beside");
    EXPECT_EQ(std::filesystem::current_path(), exe.parent_path());
}

TEST_F(Upload, ConvertedCopyGoesToAPrivateFolderOfTheProcessAlone) {
    // A link planted where a predictable folder name would be is never written through.
    const std::filesystem::path tmp = dir_ / "tmp";
    const std::filesystem::path victim = dir_ / "victim";
    std::filesystem::create_directories(tmp);
    std::filesystem::create_directories(victim);
    std::filesystem::create_directory_symlink(victim, tmp / ("skiffs-" + std::to_string(geteuid())));
    setenv("TMPDIR", tmp.c_str(), 1);
    const int result = Send(LocalFile("a.txt", "A\x88\x9F"), "B:\\a.txt", kAscii, 1, 1);
    // The folder is made at the process's first conversion, under the TMPDIR of that moment.
    std::vector<std::filesystem::path> folders = PrivateTemporaryFolders();
    unsetenv("TMPDIR");
    for (const std::filesystem::path& folder : PrivateTemporaryFolders()) folders.push_back(folder);
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFileBytes(Remote("B:/a.txt")), "\x1B(BA\x1B$B\x30\x21");
    EXPECT_TRUE(std::filesystem::is_empty(victim));
    for (const std::filesystem::path& folder : folders) {
        EXPECT_EQ(folder.filename().string().size(), std::string("skiffs--XXXXXX").size() + std::to_string(getpid()).size());
        const auto status = std::filesystem::symlink_status(folder);
        EXPECT_EQ(status.type(), std::filesystem::file_type::directory);
        EXPECT_EQ(status.permissions() & std::filesystem::perms::all, std::filesystem::perms::owner_all);
        EXPECT_TRUE(std::filesystem::is_empty(folder));
    }
}

}  // namespace
}  // namespace tessel::test
