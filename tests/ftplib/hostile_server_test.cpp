// Servers that misbehave on purpose: every call ends with its code within its bound, frees its job
// entry and leaves no temporary file. The limits are shortened so that each case takes seconds.
#include <chrono>
#include <cstdlib>
#include <thread>

#include "SkiffS/SkiffS.h"
#include "hostile_server.h"
#include "skiffs_fixture.h"

namespace tessel::test {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kReplyLimitSeconds = 2;
constexpr int kFinalReplyLimitSeconds = 5;

class HostileServerTest : public SkiffsTest {
protected:
    void SetUp() override {
        setenv("SKIFFS_TIMEOUT", std::to_string(kReplyLimitSeconds).c_str(), 1);
        setenv("SKIFFS_FINAL_REPLY_TIMEOUT", std::to_string(kFinalReplyLimitSeconds).c_str(), 1);
        SkiffsTest::SetUp();
    }
    void TearDown() override {
        hostile_.reset();
        unsetenv("SKIFFS_TIMEOUT");
        unsetenv("SKIFFS_FINAL_REPLY_TIMEOUT");
        SkiffsTest::TearDown();
    }

    void Start(HostileBehaviour behaviour) { hostile_ = std::make_unique<HostileServer>(std::move(behaviour)); }

    // Runs a call and gives its code; elapsed_ receives how long it took.
    int Timed(const std::function<int()>& call) {
        const auto start = Clock::now();
        const int code = call();
        elapsed_ = Clock::now() - start;
        return code;
    }
    // An upload in ASCII mode with a conversion, so that a temporary copy exists while it runs.
    int SendConverted(const std::string& bytes) {
        const std::string local = LocalFile("up.txt", bytes);
        return Timed([&] {
            return CSkiffClient().Skiff_SendD("127.0.0.1", "user", "pw", hostile_->port(), kAscii, local.c_str(),
                                              "up.txt", 1, 1);
        });
    }
    int Fetch(const std::string& local) {
        return Timed([&] {
            return CSkiffClient().Skiff_GetD("127.0.0.1", "user", "pw", hostile_->port(), kBinary, "big.bin",
                                             local.c_str(), 1, 0);
        });
    }
    void ExpectCleanEnd() {
        int total = -1;
        int done = -1;
        Skiff_GetStatus("127.0.0.1", &total, &done);
        EXPECT_EQ(total, 0);
        EXPECT_EQ(done, 0);
        EXPECT_TRUE(LeftoverTemporaryFiles().empty());
    }

    std::unique_ptr<HostileServer> hostile_;
    Clock::duration elapsed_{};
};

// Shift-JIS text that the conversion to JIS leaves as it is, after its first escape sequence.
std::string PlainText(std::size_t size) { return std::string(size, 'a'); }

TEST_F(HostileServerTest, AFinalReplySlowerThanTheReplyLimitButWithinItsOwnIsSuccess) {
    Start({.finalReplyDelay = std::chrono::seconds(kReplyLimitSeconds + 2)});
    const std::string text = PlainText(5000);
    EXPECT_EQ(SendConverted(text), 0);
    EXPECT_EQ(hostile_->Stored(), "\x1B(B" + text);
    EXPECT_GE(elapsed_, std::chrono::seconds(kReplyLimitSeconds + 2));
    ExpectCleanEnd();
}

TEST_F(HostileServerTest, ARefusedOrMissingFinalReplyIsARemoteError) {
    Start({.refuseStoredFile = true});
    EXPECT_EQ(SendConverted(PlainText(3000)), SKIFF_REMOTE_ERROR);
    ExpectCleanEnd();

    Start({.neverConfirmStoredFile = true});
    EXPECT_EQ(SendConverted(PlainText(3000)), SKIFF_REMOTE_ERROR);
    EXPECT_GE(elapsed_, std::chrono::seconds(kFinalReplyLimitSeconds));
    EXPECT_LT(elapsed_, std::chrono::seconds(kFinalReplyLimitSeconds + 3));
    ExpectCleanEnd();
}

// Nothing depends on QUIT's reply: a device that went silent after confirming the file holds the
// call, or the end of a thread that kept its session, for one reply limit at most, not for the
// final reply's bound that the store had set.
TEST_F(HostileServerTest, AnUnansweredQuitHoldsTheCallOneReplyLimitAtMost) {
    Start({.silentQuit = true});
    EXPECT_EQ(SendConverted(PlainText(100)), 0);
    EXPECT_LT(elapsed_, std::chrono::seconds(kFinalReplyLimitSeconds));

    setenv("SKIFFS_KEEP_SESSION", "1", 1);
    int code = -1;
    const auto start = Clock::now();
    std::thread([&] { code = SendConverted(PlainText(100)); }).join();
    const Clock::duration threadLife = Clock::now() - start;
    unsetenv("SKIFFS_KEEP_SESSION");
    EXPECT_EQ(code, 0);
    EXPECT_LT(threadLife, std::chrono::seconds(kFinalReplyLimitSeconds));
    ExpectCleanEnd();
}

TEST_F(HostileServerTest, ADripFedUploadFallsBelowTheStallFloor) {
    Start({.dataBytesPerSecond = 4});
    EXPECT_EQ(SendConverted(PlainText(1 << 20)), SKIFF_REMOTE_ERROR);
    // The stall window is one reply limit; the kernel's buffers fill first.
    EXPECT_LT(elapsed_, std::chrono::seconds(8 * kReplyLimitSeconds));
    ExpectCleanEnd();
}

TEST_F(HostileServerTest, ADripFedDownloadFallsBelowTheStallFloorAndKeepsTheLocalFile) {
    Start({.listing = "-rw-r--r-- 1 may may 1000 Jan 05 12:00 big.bin\r\n",
           .retrieveBytes = 1000,
           .dataBytesPerSecond = 4});
    const std::string old = LocalFile("big.bin", "old");
    EXPECT_EQ(Fetch(old), SKIFF_REMOTE_ERROR);
    EXPECT_LT(elapsed_, std::chrono::seconds(4 * kReplyLimitSeconds));
    EXPECT_EQ(ReadFileBytes(old), "old");
    ExpectCleanEnd();
}

TEST_F(HostileServerTest, ADownloadFarBeyondItsListedSizeIsCutShort) {
    Start({.listing = "-rw-r--r-- 1 ftp ftp 10 Jan 05 12:00 big.bin\r\n", .retrieveBytes = 64u << 20});
    const std::string old = LocalFile("big.bin", "old");
    EXPECT_EQ(Fetch(old), SKIFF_REMOTE_ERROR);
    EXPECT_EQ(ReadFileBytes(old), "old");
    // A new local file is left as the download check made it: empty.
    EXPECT_EQ(Fetch(Local("new.bin").string()), SKIFF_REMOTE_ERROR);
    EXPECT_EQ(ReadFileBytes(Local("new.bin")), "");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_ / "local"), {}), 2)
        << "no partial file is left beside the local ones";
    ExpectCleanEnd();
}

TEST_F(HostileServerTest, AGreetingThatNeverEndsIsNoConnection) {
    Start({.dripGreeting = true});
    EXPECT_EQ(SendConverted(PlainText(10)), SKIFF_NO_CONNECTION);
    EXPECT_LT(elapsed_, std::chrono::seconds(3 * kReplyLimitSeconds + 2));
    ExpectCleanEnd();
}

}  // namespace
}  // namespace tessel::test
