// Servers that misbehave: every call still ends with its code, frees its job entry and leaves no
// temporary file behind.
#include <chrono>
#include <future>
#include <thread>

#include "SkiffS/SkiffS.h"
#include "skiffs_fixture.h"

namespace tessel::test {
namespace {

void ExpectEntryFree() {
    int total = -1;
    int done = -1;
    Skiff_GetStatus("127.0.0.1", &total, &done);
    EXPECT_EQ(total, 0);
    EXPECT_EQ(done, 0);
}

class MultiLineServer : public SkiffsTest {
    FtpServerOptions ServerOptions() const override { return {.multiline = true}; }
};

TEST_F(MultiLineServer, RepliesOverSeveralLinesAreUnderstood) {
    const std::string bytes = PatternBytes(3000);
    ASSERT_EQ(Send(LocalFile("a.bin", bytes), "B:\\a.bin"), 0);
    ASSERT_EQ(Get("B:/a.bin", Local("b.bin").string()), 0);
    EXPECT_EQ(ReadFileBytes(Local("b.bin")), bytes);
}

class GarbledPassiveReply : public SkiffsTest {
    FtpServerOptions ServerOptions() const override {
        return {.noEpsv = true, .pasvReply = "Entering Passive Mode (nonsense)"};
    }
};

TEST_F(GarbledPassiveReply, IsARemoteErrorForBothDirections) {
    EXPECT_EQ(Send(LocalFile("a.bin", "x"), "B:\\a.bin"), SKIFF_REMOTE_ERROR);
    ExpectEntryFree();
    WriteFileBytes(Remote("B:/c.bin"), "remote");
    const std::string old = LocalFile("c.bin", "old");
    EXPECT_EQ(Get("B:/c.bin", old), SKIFF_REMOTE_ERROR);
    EXPECT_EQ(ReadFileBytes(old), "old");
    ExpectEntryFree();
    EXPECT_TRUE(LeftoverTemporaryFiles().empty());
}

class ClosedPassivePort : public SkiffsTest {
    // A well-formed reply naming a loopback port where nothing listens.
    FtpServerOptions ServerOptions() const override {
        return {.noEpsv = true, .pasvReply = "Entering Passive Mode (127,0,0,1,0,1)"};
    }
};

TEST_F(ClosedPassivePort, IsARemoteError) {
    EXPECT_EQ(Send(LocalFile("a.bin", "x"), "B:\\a.bin"), SKIFF_REMOTE_ERROR);
    EXPECT_FALSE(std::filesystem::exists(Remote("B:/a.bin")));
    ExpectEntryFree();
}

// A slow server that can be made to vanish in the middle of a transfer.
class VanishingServer : public SkiffsTest {
protected:
    FtpServerOptions ServerOptions() const override { return {.rate = 128 * 1024}; }

    bool WaitForProgress() {
        const auto deadline = std::chrono::steady_clock::now() + kWaitLimit;
        while (std::chrono::steady_clock::now() < deadline) {
            int total = 0;
            int done = 0;
            Skiff_GetStatus("127.0.0.1", &total, &done);
            if (done > 0) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }
};

TEST_F(VanishingServer, MidUploadIsARemoteError) {
    const std::string local = LocalFile("big.bin", PatternBytes(32 * 1024 * 1024));
    auto upload = std::async(std::launch::async, [&] { return Send(local, "B:\\big.bin"); });
    CancelOnExit cancelOnExit;
    ASSERT_TRUE(WaitForProgress());
    server_.reset();
    ASSERT_EQ(upload.wait_for(kWaitLimit), std::future_status::ready);
    EXPECT_EQ(upload.get(), SKIFF_REMOTE_ERROR);
    ExpectEntryFree();
    EXPECT_TRUE(LeftoverTemporaryFiles().empty());
}

TEST_F(VanishingServer, MidDownloadIsARemoteErrorAndTheLocalFileIsKept) {
    WriteFileBytes(Remote("B:/big.bin"), PatternBytes(8 * 1024 * 1024));
    const std::string old = LocalFile("big.bin", "old");
    auto download = std::async(std::launch::async, [&] { return Get("B:/big.bin", old); });
    CancelOnExit cancelOnExit;
    ASSERT_TRUE(WaitForProgress());
    server_.reset();
    ASSERT_EQ(download.wait_for(kWaitLimit), std::future_status::ready);
    EXPECT_EQ(download.get(), SKIFF_REMOTE_ERROR);
    EXPECT_EQ(ReadFileBytes(old), "old");
    ExpectEntryFree();
    EXPECT_TRUE(LeftoverTemporaryFiles().empty());
}

}  // namespace
}  // namespace tessel::test
