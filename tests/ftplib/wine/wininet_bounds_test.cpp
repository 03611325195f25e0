// Progress, cancel, a busy host and the bounds of a call through SkiffS.dll on WinInet: WinInet's own
// timeouts do not hold under Wine, the library's watchdog does.
#include <winsock2.h>

#include <cstdlib>
#include <future>
#include <iostream>
#include <thread>

#include "wine_ftp_fixture.h"

namespace tessel::test {
namespace {

using Clock = std::chrono::steady_clock;

// Waits, at most kWaitLimit, until the transfer for 127.0.0.1 has done a block; gives its total.
int WaitForProgress() {
    const auto deadline = Clock::now() + kWaitLimit;
    int total = 0, done = 0;
    while (Clock::now() < deadline) {
        Skiff_GetStatus("127.0.0.1", &total, &done);
        if (done > 0) return total;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
}

// A server paced at 64 KiB/s, so that a transfer of a MiB takes long enough to be watched.
class SlowServer : public WineFtpTest {
protected:
    BrokeredServerOptions ServerOptions() const override { return {.rate = 64 * 1024}; }
};

TEST_F(SlowServer, AnUploadShowsProgressRefusesASecondOneToTheHostAndEndsOnCancel) {
    const std::string bytes = PatternBytes(std::size_t{1} << 20);
    const std::string local = LocalFile("big.bin", bytes);
    const std::string other = LocalFile("other.bin", "x");
    std::future<int> upload = std::async(std::launch::async, [&] { return Send(local, "B:\\big.bin"); });
    CancelOnExit cancel;
    EXPECT_EQ(WaitForProgress(), 1024);
    EXPECT_EQ(Send(other, "B:\\other.bin"), SKIFF_HOST_BUSY);
    Skiff_Cancel("127.0.0.1");
    ASSERT_EQ(upload.wait_for(kWaitLimit), std::future_status::ready);
    EXPECT_EQ(upload.get(), SKIFF_OK);
    // The blocks sent before the cancel stay on the server.
    const std::optional<std::string> stored = server_->Read("B:/big.bin");
    ASSERT_TRUE(stored.has_value());
    EXPECT_LT(stored->size(), bytes.size());
    EXPECT_EQ(*stored, bytes.substr(0, stored->size()));
    int total = -1, done = -1;
    Skiff_GetStatus("127.0.0.1", &total, &done);
    EXPECT_EQ(total, 0);
    EXPECT_EQ(done, 0);
}

TEST_F(SlowServer, ACancelledDownloadKeepsWhatArrived) {
    const std::string bytes = PatternBytes(std::size_t{1} << 20);
    server_->Write("B:/big.bin", bytes);
    const std::string local = Local("big.bin").string();
    std::future<int> download = std::async(std::launch::async, [&] { return Get("B:/big.bin", local); });
    CancelOnExit cancel;
    EXPECT_EQ(WaitForProgress(), 1024);
    Skiff_Cancel("127.0.0.1");
    ASSERT_EQ(download.wait_for(kWaitLimit), std::future_status::ready);
    EXPECT_EQ(download.get(), SKIFF_OK);
    const std::string kept = ReadLocal(local);
    EXPECT_LT(kept.size(), bytes.size());
    EXPECT_EQ(kept, bytes.substr(0, kept.size()));
}

// A library reply limit of 2 s, and a server whose data connections stop after 64 KiB.
class StallingServer : public WineFtpTest {
protected:
    void SetUp() override {
        _putenv_s("SKIFFS_TIMEOUT", "2");
        WineFtpTest::SetUp();
    }
    void TearDown() override {
        _putenv_s("SKIFFS_TIMEOUT", "");
        WineFtpTest::TearDown();
    }
    BrokeredServerOptions ServerOptions() const override { return {.stallAfter = 64 * 1024}; }
};

TEST_F(StallingServer, AStalledUploadOrDownloadIsARemoteError) {
    const std::string local = LocalFile("big.bin", PatternBytes(std::size_t{8} << 20));
    EXPECT_EQ(Bounded("stalled upload", [&] { return Send(local, "B:\\big.bin"); }), SKIFF_REMOTE_ERROR);
    server_->Write("B:/down.bin", PatternBytes(std::size_t{4} << 20));
    const std::string old = LocalFile("down.bin", "old");
    EXPECT_EQ(Bounded("stalled download", [&] { return Get("B:/down.bin", old); }), SKIFF_REMOTE_ERROR);
    EXPECT_EQ(ReadLocal(old), "old");
    int total = -1, done = -1;
    Skiff_GetStatus("127.0.0.1", &total, &done);
    EXPECT_EQ(total, 0);
}

TEST_F(StallingServer, AServerThatNeverGreetsIsNoConnection) {
    // The system completes the connection; nobody ever answers on it.
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
    const SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    ASSERT_NE(listener, INVALID_SOCKET);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof addr;
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&addr), length), 0);
    ASSERT_EQ(listen(listener, 4), 0);
    ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &length), 0);
    const unsigned short port = ntohs(addr.sin_port);
    const std::string local = LocalFile("a.txt", "x");
    const std::optional<int> result = Bounded("silent server", [&] {
        return CSkiffClient().Skiff_SendD("127.0.0.1", "user", "secret", port, kBinary, local.c_str(), "a.txt", 1, 0);
    });
    closesocket(listener);
    EXPECT_EQ(result, SKIFF_NO_CONNECTION);
}

}  // namespace
}  // namespace tessel::test
