#include <chrono>
#include <future>
#include <thread>

#include "SkiffS/SkiffS.h"
#include "skiffs_fixture.h"

namespace tessel::test {
namespace {

struct Status {
    int total = 0;
    int done = 0;
};

Status StatusOf(const char* host) {
    Status s{-1, -1};
    Skiff_GetStatus(host, &s.total, &s.done);
    return s;
}

// Polls until the transfer for host shows progress; false when it never does within the limit.
bool WaitForProgress(const char* host) {
    const auto deadline = std::chrono::steady_clock::now() + kWaitLimit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (StatusOf(host).done > 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

// A slow server, so that a transfer lasts long enough to be watched and stopped.
class SlowServer : public SkiffsTest {
    FtpServerOptions ServerOptions() const override { return {.rate = 256 * 1024}; }
};

TEST_F(SlowServer, ProgressIsVisibleAndASecondTransferToTheHostIsRefused) {
    const std::string bytes = PatternBytes(64 * 1024 * 1024 + 1);
    const std::string local = LocalFile("big.bin", bytes);
    auto first = std::async(std::launch::async, [&] { return Send(local, "B:\\big.bin"); });
    CancelOnExit cancelOnExit;
    ASSERT_TRUE(WaitForProgress("127.0.0.1"));

    const Status during = StatusOf("127.0.0.1");
    EXPECT_EQ(during.total, 64 * 1024 + 1);
    EXPECT_GT(during.done, 0);
    EXPECT_LE(during.done, during.total);
    // Another host name is another key: only this host is busy.
    EXPECT_EQ(StatusOf("localhost").total, 0);
    EXPECT_EQ(Send(LocalFile("small.bin", "s"), "B:\\small.bin"), SKIFF_HOST_BUSY);
    EXPECT_GT(StatusOf("127.0.0.1").total, 0) << "the refused call must not disturb the running one";

    Skiff_Cancel("127.0.0.1");
    ASSERT_EQ(first.wait_for(kWaitLimit), std::future_status::ready);
    EXPECT_EQ(first.get(), 0) << "a cancelled transfer ends as if complete";
    const std::string arrived = ReadFileBytes(Remote("B:/big.bin"));
    EXPECT_LT(arrived.size(), bytes.size());
    EXPECT_EQ(arrived, bytes.substr(0, arrived.size()));

    // The entry is free again and a later transfer starts with its cancel flag clear.
    EXPECT_EQ(StatusOf("127.0.0.1").total, 0);
    EXPECT_EQ(StatusOf("127.0.0.1").done, 0);
    ASSERT_EQ(Send(LocalFile("after.bin", "after"), "B:\\after.bin"), 0);
    EXPECT_EQ(ReadFileBytes(Remote("B:/after.bin")), "after");
    EXPECT_TRUE(LeftoverTemporaryFiles().empty());
}

TEST_F(SlowServer, CancelEndsADownloadWithTheDataReceivedSoFar) {
    const std::string bytes = PatternBytes(8 * 1024 * 1024);
    WriteFileBytes(Remote("B:/big.bin"), bytes);
    const std::string local = Local("big.bin").string();
    auto download = std::async(std::launch::async, [&] { return Get("B:/big.bin", local); });
    CancelOnExit cancelOnExit;
    ASSERT_TRUE(WaitForProgress("127.0.0.1"));
    EXPECT_EQ(StatusOf("127.0.0.1").total, 8 * 1024);
    Skiff_Cancel("127.0.0.1");
    ASSERT_EQ(download.wait_for(kWaitLimit), std::future_status::ready);
    EXPECT_EQ(download.get(), 0);
    const std::string received = ReadFileBytes(local);
    EXPECT_GT(received.size(), 0u);
    EXPECT_LT(received.size(), bytes.size());
    EXPECT_EQ(received, bytes.substr(0, received.size()));
    EXPECT_TRUE(LeftoverTemporaryFiles().empty());
}

TEST_F(SlowServer, CancelForAnIdleHostChangesNothing) {
    Skiff_Cancel("127.0.0.1");
    const std::string bytes = PatternBytes(100000);
    ASSERT_EQ(Send(LocalFile("f.bin", bytes), "B:\\f.bin"), 0);
    EXPECT_EQ(ReadFileBytes(Remote("B:/f.bin")), bytes);
}

}  // namespace
}  // namespace tessel::test
