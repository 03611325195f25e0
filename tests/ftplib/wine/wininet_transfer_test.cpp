// Uploads and downloads through SkiffS.dll on WinInet, against pyftpdlib.
#include <thread>
#include <vector>

#include "wine_ftp_fixture.h"

namespace tessel::test {
namespace {

using WinInetUpload = WineFtpTest;
using WinInetDownload = WineFtpTest;

TEST_F(WinInetUpload, StoresTheFileUnderItsWholePathAfterCheckingItsDirectory) {
    const std::string bytes = PatternBytes(1025);
    ASSERT_EQ(Send(LocalFile("prism3.dat", bytes), "B:\\prism3.dat"), SKIFF_OK);
    EXPECT_EQ(server_->Read("B:/prism3.dat"), bytes);
    std::vector<std::string> seen;
    for (const std::string& c : server_->Commands()) {
        if (c.rfind("USER", 0) == 0 || c.rfind("CWD", 0) == 0 || c.rfind("STOR", 0) == 0) seen.push_back(c);
    }
    const std::vector<std::string> expected = {"USER user", "CWD B:", "CWD /", "STOR B:/prism3.dat"};
    EXPECT_EQ(seen, expected);
    // Passive mode on WinInet is PASV.
    EXPECT_GT(ServerCount("PASV"), 0);
}

TEST_F(WinInetUpload, BlockSizesAroundTheBoundaryArriveWhole) {
    for (const std::size_t size : {std::size_t{1}, std::size_t{1023}, std::size_t{1024}, std::size_t{1025},
                                   std::size_t{300000}, (std::size_t{1} << 20) + 7}) {
        const std::string bytes = PatternBytes(size);
        ASSERT_EQ(Send(LocalFile("f.bin", bytes), "C:/www/control/f.bin"), SKIFF_OK) << size;
        EXPECT_EQ(server_->Read("C:/www/control/f.bin"), bytes) << size;
    }
}

TEST_F(WinInetUpload, RefusalsHaveTheirCodes) {
    const std::string local = LocalFile("a.txt", "x");
    // A missing remote directory: nothing is stored.
    EXPECT_EQ(Send(local, "Z:\\a.txt"), SKIFF_REMOTE_ERROR);
    EXPECT_EQ(ServerCount("STOR"), 0);
    // A missing local file, after the login; a directory is no file to send.
    EXPECT_EQ(Send(Local("absent.bin").string(), "B:\\absent.bin"), SKIFF_LOCAL_FILE_ERROR);
    EXPECT_EQ(Send(dir_.string(), "B:\\dir.bin"), SKIFF_LOCAL_FILE_ERROR);
    EXPECT_GT(ServerCount("PASS"), 0);
    // A wrong password.
    EXPECT_EQ(Send(local, "B:\\a.txt", kBinary, 0, "wrong"), SKIFF_NO_CONNECTION);
    // An empty file in ASCII mode cannot be copied for the transfer.
    EXPECT_EQ(Send(LocalFile("empty.txt", ""), "B:\\empty.txt", kAscii), SKIFF_TEMP_COPY_ERROR);
    EXPECT_EQ(ServerCount("STOR"), 0);
}

TEST_F(WinInetUpload, NoServerListeningIsNoConnection) {
    const unsigned short port = server_->port();
    server_.reset();
    const std::string local = LocalFile("a.txt", "x");
    EXPECT_EQ(CSkiffClient().Skiff_SendD("127.0.0.1", "user", "secret", port, kBinary, local.c_str(), "a.txt", 1,
                                         0),
              SKIFF_NO_CONNECTION);
}

TEST_F(WinInetUpload, ShiftJisTextIsSentAsEucJpUnderAnEucJpName) {
    // "表" (0x95 0x5C) in the text and in the name; the name's trail byte 0x5C stays a byte of the name.
    const std::string sjis = "A\x95\x5C";
    ASSERT_EQ(Send(LocalFile("t.txt", sjis), std::string("B:\\\x95\x5C.txt"), kAscii, 2), SKIFF_OK);
    EXPECT_EQ(server_->Read("B:/\xC9\xBD.txt"), std::string("A\xC9\xBD"));
    EXPECT_EQ(LeftoverTemporaryFiles(), 0u);
}

TEST_F(WinInetUpload, AKeptSessionServesTheThreadsNextCallWithoutASecondLogin) {
    _putenv_s("SKIFFS_KEEP_SESSION", "1");
    const std::string first = LocalFile("a.bin", PatternBytes(3000));
    const std::string second = LocalFile("b.bin", PatternBytes(5000));
    int results[2] = {-99, -99};
    // On a thread of its own, whose end closes the kept session.
    std::thread calls([&] {
        results[0] = Send(first, "B:\\a.bin");
        results[1] = Send(second, "C:\\www\\control\\b.bin");
    });
    calls.join();
    _putenv_s("SKIFFS_KEEP_SESSION", "");
    EXPECT_EQ(results[0], SKIFF_OK);
    EXPECT_EQ(results[1], SKIFF_OK);
    EXPECT_EQ(server_->Read("B:/a.bin"), PatternBytes(3000));
    EXPECT_EQ(server_->Read("C:/www/control/b.bin"), PatternBytes(5000));
    EXPECT_EQ(ServerCount("USER"), 1);
}

TEST_F(WinInetDownload, FetchesAListedFileWholeAndReplacesTheLocalOne) {
    const std::string bytes = PatternBytes(300001);
    server_->Write("B:/data.bin", bytes);
    const std::string local = LocalFile("data.bin", "old");
    ASSERT_EQ(Get("B:/data.bin", local), SKIFF_OK);
    EXPECT_EQ(ReadLocal(local), bytes);
    // Looked up by listing its directory.
    EXPECT_GT(ServerCount("LIST"), 0);
    EXPECT_GT(ServerCount("RETR B:/data.bin"), 0);
    // A name without a directory is looked up in the login directory.
    server_->Write("top.txt", "top");
    ASSERT_EQ(Get("top.txt", Local("top.txt").string()), SKIFF_OK);
    EXPECT_EQ(ReadLocal(Local("top.txt")), "top");
}

TEST_F(WinInetDownload, AFileThatIsNotListedIsARemoteErrorAndLeavesAnEmptyLocalFile) {
    server_->Write("B:/other.bin", "x");
    EXPECT_EQ(Get("B:/absent.bin", Local("absent.bin").string()), SKIFF_REMOTE_ERROR);
    ASSERT_TRUE(std::filesystem::exists(Local("absent.bin")));
    EXPECT_EQ(std::filesystem::file_size(Local("absent.bin")), 0u);
    EXPECT_EQ(ServerCount("RETR"), 0);
    // An empty directory lists nothing.
    EXPECT_EQ(Get("C:/www/control/none.bin", Local("none.bin").string()), SKIFF_REMOTE_ERROR);
}

TEST_F(WinInetDownload, AnEmptyFileIsFineInBinaryModeAndRefusedInAsciiMode) {
    server_->Write("B:/empty.txt", "");
    ASSERT_EQ(Get("B:/empty.txt", Local("empty.bin").string()), SKIFF_OK);
    EXPECT_EQ(std::filesystem::file_size(Local("empty.bin")), 0u);
    EXPECT_EQ(Get("B:/empty.txt", Local("empty.txt").string(), kAscii), SKIFF_TEMP_COPY_ERROR);
    EXPECT_EQ(LeftoverTemporaryFiles(), 0u);
}

TEST_F(WinInetDownload, EucJpTextComesBackAsShiftJis) {
    server_->Write("B:/euc.txt", "A\xC9\xBD");
    ASSERT_EQ(Get("B:/euc.txt", Local("sjis.txt").string(), kAscii, 4), SKIFF_OK);
    EXPECT_EQ(ReadLocal(Local("sjis.txt")), std::string("A\x95\x5C"));
}

}  // namespace
}  // namespace tessel::test
