// SkiffS.dll on WinInet against the servers that misbehave on purpose: every call ends with the code the
// public header promises, within its bound, frees its job entry and leaves no temporary file. The limits
// are shortened so that each case takes seconds.
#include <cstdlib>
#include <memory>
#include <thread>

#include "hostile_server.h"
#include "wine_local_fixture.h"

namespace tessel::test {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kReplyLimitSeconds = 2;
constexpr int kFinalReplyLimitSeconds = 5;

class WineHostileServerTest : public WineLocalTest {
protected:
    void SetUp() override {
        _putenv_s("SKIFFS_TIMEOUT", std::to_string(kReplyLimitSeconds).c_str());
        _putenv_s("SKIFFS_FINAL_REPLY_TIMEOUT", std::to_string(kFinalReplyLimitSeconds).c_str());
        WineLocalTest::SetUp();
    }
    void TearDown() override {
        hostile_.reset();
        _putenv_s("SKIFFS_TIMEOUT", "");
        _putenv_s("SKIFFS_FINAL_REPLY_TIMEOUT", "");
        WineLocalTest::TearDown();
    }

    void Start(HostileBehaviour behaviour) { hostile_ = std::make_unique<HostileServer>(std::move(behaviour)); }

    // Runs a call within kWaitLimit and gives its code; elapsed_ receives how long it took.
    std::optional<int> Timed(const char* what, const std::function<int()>& call) {
        const auto start = Clock::now();
        const std::optional<int> code = Bounded(what, call);
        elapsed_ = Clock::now() - start;
        return code;
    }
    // An upload in ASCII mode with a conversion, so that a temporary copy exists while it runs.
    std::optional<int> SendConverted(const std::string& bytes) {
        const std::string local = LocalFile("up.txt", bytes);
        const unsigned short port = hostile_->port();
        return Timed("upload", [local, port] {
            return CSkiffClient().Skiff_SendD("127.0.0.1", "user", "pw", port, kAscii, local.c_str(), "up.txt", 1, 1);
        });
    }
    std::optional<int> Fetch(const std::string& local) {
        const unsigned short port = hostile_->port();
        return Timed("download", [local, port] {
            return CSkiffClient().Skiff_GetD("127.0.0.1", "user", "pw", port, kBinary, "big.bin", local.c_str(), 1, 0);
        });
    }
    void ExpectCleanEnd() {
        int total = -1;
        int done = -1;
        Skiff_GetStatus("127.0.0.1", &total, &done);
        EXPECT_EQ(total, 0);
        EXPECT_EQ(done, 0);
        EXPECT_EQ(LeftoverTemporaryFiles(), 0u);
    }

    std::unique_ptr<HostileServer> hostile_;
    Clock::duration elapsed_{};
};

// Shift-JIS text that the conversion to JIS leaves as it is, after its first escape sequence.
std::string PlainText(std::size_t size) { return std::string(size, 'a'); }

TEST_F(WineHostileServerTest, AFinalReplySlowerThanTheReplyLimitButWithinItsOwnIsSuccess) {
    Start({.finalReplyDelay = std::chrono::seconds(kReplyLimitSeconds + 2)});
    const std::string text = PlainText(5000);
    EXPECT_EQ(SendConverted(text), SKIFF_OK);
    EXPECT_EQ(hostile_->Stored(), "\x1B(B" + text);
    ExpectCleanEnd();
}

TEST_F(WineHostileServerTest, ARefusedOrMissingFinalReplyIsARemoteError) {
    Start({.refuseStoredFile = true});
    EXPECT_EQ(SendConverted(PlainText(3000)), SKIFF_REMOTE_ERROR);
    ExpectCleanEnd();

    Start({.neverConfirmStoredFile = true});
    EXPECT_EQ(SendConverted(PlainText(3000)), SKIFF_REMOTE_ERROR);
    EXPECT_GE(elapsed_, std::chrono::seconds(kFinalReplyLimitSeconds));
    EXPECT_LT(elapsed_, std::chrono::seconds(kFinalReplyLimitSeconds + 3));
    ExpectCleanEnd();
}

// Nothing depends on QUIT's reply: a device that went silent after confirming the file holds the call,
// or the end of a thread that kept its session, for one reply limit at most, not for the final reply's
// bound that the store had set.
TEST_F(WineHostileServerTest, AnUnansweredQuitHoldsTheCallOneReplyLimitAtMost) {
    Start({.silentQuit = true});
    EXPECT_EQ(SendConverted(PlainText(100)), SKIFF_OK);
    EXPECT_LT(elapsed_, std::chrono::seconds(kFinalReplyLimitSeconds));

    // The kept session closes when the thread that made the call ends, here the one Bounded starts.
    _putenv_s("SKIFFS_KEEP_SESSION", "1");
    const std::optional<int> code = SendConverted(PlainText(100));
    _putenv_s("SKIFFS_KEEP_SESSION", "");
    EXPECT_EQ(code, SKIFF_OK);
    EXPECT_LT(elapsed_, std::chrono::seconds(kFinalReplyLimitSeconds));
    ExpectCleanEnd();
}

TEST_F(WineHostileServerTest, ADripFedUploadFallsBelowTheStallFloor) {
    Start({.dataBytesPerSecond = 4});
    EXPECT_EQ(SendConverted(PlainText(1 << 20)), SKIFF_REMOTE_ERROR);
    // The stall window is one reply limit; the system's buffers fill first.
    EXPECT_LT(elapsed_, std::chrono::seconds(8 * kReplyLimitSeconds));
    ExpectCleanEnd();
}

TEST_F(WineHostileServerTest, ADripFedDownloadFallsBelowTheStallFloorAndKeepsTheLocalFile) {
    Start({.listing = "-rw-r--r-- 1 may may 1000 Jan 05 12:00 big.bin\r\n",
           .retrieveBytes = 1000,
           .dataBytesPerSecond = 4});
    const std::string old = LocalFile("big.bin", "old");
    EXPECT_EQ(Fetch(old), SKIFF_REMOTE_ERROR);
    EXPECT_LT(elapsed_, std::chrono::seconds(4 * kReplyLimitSeconds));
    EXPECT_EQ(ReadLocal(old), "old");
    ExpectCleanEnd();
}

TEST_F(WineHostileServerTest, ADownloadFarBeyondItsListedSizeIsCutShort) {
    const HostileBehaviour oversized{.listing = "-rw-r--r-- 1 ftp ftp 10 Jan 05 12:00 big.bin\r\n",
                                     .retrieveBytes = 64u << 20};
    Start(oversized);
    const std::string old = LocalFile("big.bin", "old");
    EXPECT_EQ(Fetch(old), SKIFF_REMOTE_ERROR);
    EXPECT_EQ(ReadLocal(old), "old");
    // This server never answers the transfer that the library cut short. WinInet's thread keeps waiting for
    // that reply after the call has ended, and with it the control connection stays open until the server
    // closes it; the server serves one connection at a time, so the next call gets a server of its own.
    Start(oversized);
    // A new local file is left as the download check made it: empty.
    EXPECT_EQ(Fetch(Local("new.bin").string()), SKIFF_REMOTE_ERROR);
    EXPECT_EQ(ReadLocal(Local("new.bin")), "");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 2)
        << "no partial file is left beside the local ones";
    ExpectCleanEnd();
}

TEST_F(WineHostileServerTest, AGreetingThatNeverEndsIsNoConnection) {
    Start({.dripGreeting = true});
    EXPECT_EQ(SendConverted(PlainText(10)), SKIFF_NO_CONNECTION);
    EXPECT_LT(elapsed_, std::chrono::seconds(3 * kReplyLimitSeconds + 2));
    ExpectCleanEnd();
}

}  // namespace
}  // namespace tessel::test
