#include <unistd.h>

#include "SkiffS/SkiffS.h"
#include "loopback_listener.h"
#include "skiffs_fixture.h"

namespace tessel::test {
namespace {

// A server that stops moving data after the first 64 KiB, with a short library timeout.
class StallingServer : public SkiffsTest {
protected:
    void SetUp() override {
        setenv("SKIFFS_TIMEOUT", "2", 1);
        SkiffsTest::SetUp();
    }
    void TearDown() override {
        unsetenv("SKIFFS_TIMEOUT");
        SkiffsTest::TearDown();
    }
    FtpServerOptions ServerOptions() const override { return {.stallAfter = 64 * 1024}; }
};

TEST_F(StallingServer, StalledUploadEndsWithRemoteError) {
    EXPECT_EQ(Send(LocalFile("big.bin", PatternBytes(64 * 1024 * 1024)), "B:\\big.bin"), SKIFF_REMOTE_ERROR);
    int total = -1, done = -1;
    Skiff_GetStatus("127.0.0.1", &total, &done);
    EXPECT_EQ(total, 0);
    EXPECT_TRUE(LeftoverTemporaryFiles().empty());
}

TEST_F(StallingServer, StalledDownloadEndsWithRemoteError) {
    WriteFileBytes(Remote("B:/big.bin"), PatternBytes(8 * 1024 * 1024));
    const std::string old = LocalFile("big.bin", "old");
    EXPECT_EQ(Get("B:/big.bin", old), SKIFF_REMOTE_ERROR);
    EXPECT_EQ(ReadFileBytes(old), "old");
    EXPECT_TRUE(LeftoverTemporaryFiles().empty());
}

TEST_F(StallingServer, SilentServerIsNoConnection) {
    // Accepts connections (the kernel completes them) but never greets.
    unsigned short port = 0;
    const int listener = ListenOnLoopback(port);
    const std::string local = LocalFile("a.txt", "x");
    const int result =
        CSkiffClient().Skiff_SendD("127.0.0.1", "user", "secret", port, kBinary, local.c_str(), "a.txt", 1, 0);
    close(listener);
    EXPECT_EQ(result, SKIFF_NO_CONNECTION);
}

}  // namespace
}  // namespace tessel::test
