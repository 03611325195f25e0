// The session a thread keeps between its calls with SKIFFS_KEEP_SESSION=1, against the real server:
// what the server sees per file, when a new login replaces the kept one, and that without the
// variable every call still has a session of its own.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <thread>

#include "SkiffS/SkiffS.h"
#include "loopback_listener.h"
#include "skiffs_fixture.h"

namespace tessel::test {
namespace {

using Commands = std::vector<std::string>;

// Runs calls on a thread of their own and waits for it: the thread's end closes its kept session.
template <typename Calls>
void OnOneThread(Calls calls) {
    std::thread(calls).join();
}

// The commands of log after the first one that is after, up to (not including) the first one that
// starts with until.
Commands Between(const Commands& log, const std::string& after, const std::string& until) {
    Commands between;
    auto it = std::find(log.begin(), log.end(), after);
    if (it != log.end()) ++it;
    for (; it != log.end() && it->rfind(until, 0) != 0; ++it) between.push_back(*it);
    return between;
}

class KeptSession : public SkiffsTest {
protected:
    void SetUp() override {
        ::setenv("SKIFFS_KEEP_SESSION", "1", 1);
        SkiffsTest::SetUp();
    }
    void TearDown() override {
        ::unsetenv("SKIFFS_KEEP_SESSION");
        SkiffsTest::TearDown();
    }
};

TEST_F(KeptSession, UploadsAndADownloadOfOneThreadShareOneLogin) {
    const std::string bytes = PatternBytes(3000);
    std::vector<int> results;
    OnOneThread([&] {
        results.push_back(Send(LocalFile("a.bin", bytes), "B:\\a.bin"));
        results.push_back(Send(LocalFile("b.htm", "page"), "C:\\www\\b.htm", kAscii));
        results.push_back(Send(LocalFile("c.bin", bytes), "C:\\www\\control\\c.bin"));
        results.push_back(Get("B:\\a.bin", Local("back.bin").string()));
    });
    EXPECT_EQ(results, (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(ServerCount("USER"), 1);
    EXPECT_EQ(ServerCount("PWD"), 1);
    // A later file: back to the login folder, the folder check into its own and back, then the
    // transfer; the type only where it changes.
    const Commands log = server_->Commands();
    EXPECT_EQ(Between(log, "STOR B:/a.bin", "STOR"),
              (Commands{"CWD /", "CWD C:/www", "CWD /", "EPSV", "TYPE A"}));
    EXPECT_EQ(Between(log, "STOR C:/www/b.htm", "STOR"),
              (Commands{"CWD /", "CWD C:/www/control", "CWD /", "EPSV", "TYPE I"}));
    // The session ends with its thread.
    EXPECT_EQ(ServerCount("QUIT"), 1);
    EXPECT_EQ(log.back(), "QUIT");
    EXPECT_TRUE(ReadFileBytes(Remote("B:/a.bin")) == bytes);
    EXPECT_EQ(ReadFileBytes(Remote("C:/www/b.htm")), "page");
    EXPECT_TRUE(ReadFileBytes(Remote("C:/www/control/c.bin")) == bytes);
    EXPECT_TRUE(ReadFileBytes(Local("back.bin")) == bytes);
}

// A first call has no kept connection that could have died, so a host that never answers its
// connection attempt is tried once, not twice: the call ends after one reply limit, not two.
TEST_F(KeptSession, AFirstCallToAHostThatNeverAnswersIsNotStartedOver) {
    // A listener whose accept queue is full: the kernel drops every further connection attempt, as a
    // device that is switched off would leave it unanswered.
    unsigned short port = 0;
    const int listener = ListenOnLoopback(port, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    const int filler = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(filler, 0);
    ASSERT_EQ(connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    constexpr auto kReplyLimit = std::chrono::seconds(3);
    ::setenv("SKIFFS_TIMEOUT", std::to_string(kReplyLimit.count()).c_str(), 1);
    int code = 0;
    const auto start = std::chrono::steady_clock::now();
    OnOneThread([&] {
        const std::string local = LocalFile("a.txt", "x");
        code = CSkiffClient().Skiff_SendD("127.0.0.1", "user", "secret", port, kBinary, local.c_str(), "a.txt", 1, 0);
    });
    const auto took = std::chrono::steady_clock::now() - start;
    ::unsetenv("SKIFFS_TIMEOUT");
    close(filler);
    close(listener);
    EXPECT_EQ(code, SKIFF_NO_CONNECTION);
    // Two attempts would take twice the limit; one leaves a second and a half for a loaded machine.
    EXPECT_LT(took, kReplyLimit + std::chrono::milliseconds(1500));
}

TEST_F(KeptSession, OtherConnectionSettingsCloseTheKeptSessionFirstAndLogInAnew) {
    FtpServer other(dir_ / "other");
    const std::string local = LocalFile("a.txt", "x");
    std::vector<int> results;
    OnOneThread([&] {
        results.push_back(Send(local, "B:\\1.txt"));
        results.push_back(Send(local, "B:\\2.txt", kBinary, /*passive=*/0));
        results.push_back(CSkiffClient().Skiff_SendD("127.0.0.1", "user", "secret", other.port(), kBinary,
                                                     local.c_str(), "B:\\3.txt", 1, 0));
        results.push_back(Send(local, "B:\\4.txt", kBinary, 1, 0, "wrong"));
    });
    EXPECT_EQ(results, (std::vector<int>{SKIFF_OK, SKIFF_OK, SKIFF_OK, SKIFF_NO_CONNECTION}));
    const Commands log = server_->Commands();
    const Commands afterPassive = Between(log, "STOR B:/1.txt", "PWD");
    const Commands afterActive = Between(log, "STOR B:/2.txt", "PWD");
    EXPECT_EQ(afterPassive, (Commands{"QUIT", "USER user", "PASS secret"}));
    EXPECT_EQ(afterActive, (Commands{"QUIT", "USER user", "PASS wrong"}));
    const Commands otherLog = other.Commands();
    EXPECT_EQ(std::count(otherLog.begin(), otherLog.end(), "USER user"), 1);
    ASSERT_FALSE(otherLog.empty());
    EXPECT_EQ(otherLog.back(), "QUIT");
    EXPECT_EQ(ReadFileBytes(other.root() / "B:/3.txt"), "x");
}

TEST_F(KeptSession, ACallThatFailsLeavesNoSessionForTheNext) {
    const std::string local = LocalFile("a.txt", "x");
    std::vector<int> results;
    std::vector<int> logins;
    std::vector<int> quits;
    OnOneThread([&] {
        for (const auto& [from, to] : {std::pair{local, "B:\\a.txt"}, {local, "Z:\\a.txt"},
                                       {Local("absent.txt").string(), "B:\\b.txt"}, {local, "B:\\c.txt"}}) {
            results.push_back(Send(from, to));
            logins.push_back(ServerCount("USER"));
            quits.push_back(ServerCount("QUIT"));
        }
    });
    EXPECT_EQ(results, (std::vector<int>{SKIFF_OK, SKIFF_REMOTE_ERROR, SKIFF_LOCAL_FILE_ERROR, SKIFF_OK}));
    ASSERT_EQ(logins.size(), 4u);
    // Each call after a failed one logs in again.
    EXPECT_EQ(logins[2], logins[1] + 1);
    EXPECT_EQ(logins[3], logins[2] + 1);
    // A session that is still sound after its call failed is closed at once, not left open.
    EXPECT_EQ(quits[2], quits[1] + 1);
    EXPECT_EQ(ReadFileBytes(Remote("B:/c.txt")), "x");
}

TEST_F(KeptSession, EachThreadKeepsItsOwnAndAnIdleOneLeavesTheHostFree) {
    const std::string local = LocalFile("a.txt", "x");
    std::promise<void> firstSent;
    std::promise<void> othersSent;
    std::vector<int> first;
    std::vector<int> second;
    std::thread one([&] {
        first.push_back(Send(local, "B:\\1.txt"));
        firstSent.set_value();
        // Still holding its kept session while the other thread sends to the same host.
        othersSent.get_future().wait_for(kWaitLimit);
        first.push_back(Send(local, "B:\\4.txt"));
    });
    const bool started = firstSent.get_future().wait_for(kWaitLimit) == std::future_status::ready;
    if (started) {
        OnOneThread([&] {
            second.push_back(Send(local, "B:\\2.txt"));
            second.push_back(Send(local, "B:\\3.txt"));
        });
    }
    othersSent.set_value();
    one.join();
    ASSERT_TRUE(started);
    EXPECT_EQ(first, (std::vector<int>{0, 0}));
    EXPECT_EQ(second, (std::vector<int>{0, 0}));
    EXPECT_EQ(ServerCount("USER"), 2);
    EXPECT_EQ(ServerCount("QUIT"), 2);
}

TEST_F(KeptSession, TracingFollowsEachCallOnTheKeptSession) {
    int quiet = -1;
    int traced = -1;
    std::string conversation;
    OnOneThread([&] {
        quiet = Send(LocalFile("a.txt", "x"), "B:\\a.txt");
        ::setenv("SKIFFS_VERBOSE", "1", 1);
        ::testing::internal::CaptureStderr();
        traced = Send(LocalFile("b.txt", "y"), "C:\\www\\b.txt");
        conversation = ::testing::internal::GetCapturedStderr();
        ::unsetenv("SKIFFS_VERBOSE");
    });
    EXPECT_EQ(quiet, 0);
    EXPECT_EQ(traced, 0);
    EXPECT_NE(conversation.find("> CWD C:/www"), std::string::npos) << conversation;
    EXPECT_NE(conversation.find("> STOR C:/www/b.txt"), std::string::npos) << conversation;
    EXPECT_EQ(conversation.find("> USER"), std::string::npos) << conversation;
}

// Against a server that ends the control connection after every stored file, as it says.
template <const char* What>
class KeptSessionEndedAfterStore : public KeptSession {
protected:
    FtpServerOptions ServerOptions() const override {
        FtpServerOptions options;
        options.afterStore = What;
        return options;
    }
};

constexpr char kClose[] = "close";
constexpr char kReset[] = "reset";
using KeptSessionClosedAfterStore = KeptSessionEndedAfterStore<kClose>;
using KeptSessionResetAfterStore = KeptSessionEndedAfterStore<kReset>;

TEST_F(KeptSessionClosedAfterStore, TheNextCallLogsInAfresh) {
    std::vector<int> results;
    OnOneThread([&] {
        results.push_back(Send(LocalFile("a.txt", "one"), "B:\\a.txt"));
        results.push_back(Send(LocalFile("b.txt", "two"), "B:\\b.txt"));
    });
    EXPECT_EQ(results, (std::vector<int>{0, 0}));
    EXPECT_EQ(ServerCount("USER"), 2);
    EXPECT_EQ(ReadFileBytes(Remote("B:/a.txt")), "one");
    EXPECT_EQ(ReadFileBytes(Remote("B:/b.txt")), "two");
}

TEST_F(KeptSessionResetAfterStore, TheCallStartsOverOnceOnANewConnection) {
    const std::string bytes = PatternBytes(2000);
    std::vector<int> results;
    OnOneThread([&] {
        results.push_back(Send(LocalFile("a.bin", bytes), "B:\\a.bin"));
        // The reset comes on the folder check, on the data connection's EPSV (a file in the login
        // folder needs no folder check), and on the download's way to the listing.
        results.push_back(Send(LocalFile("b.bin", bytes), "B:\\b.bin"));
        results.push_back(Send(LocalFile("c.bin", bytes), "c.bin"));
        results.push_back(Get("B:\\b.bin", Local("back.bin").string()));
    });
    EXPECT_EQ(results, (std::vector<int>{0, 0, 0, 0}));
    const Commands log = server_->Commands();
    EXPECT_EQ(Between(log, "STOR B:/a.bin", "PASS"), (Commands{"CWD /", "USER user"}));
    EXPECT_EQ(Between(log, "STOR B:/b.bin", "PASS"), (Commands{"EPSV", "USER user"}));
    EXPECT_EQ(Between(log, "STOR c.bin", "PASS"), (Commands{"CWD /", "USER user"}));
    EXPECT_EQ(ServerCount("USER"), 4);
    EXPECT_TRUE(ReadFileBytes(Remote("B:/b.bin")) == bytes);
    EXPECT_TRUE(ReadFileBytes(Remote("c.bin")) == bytes);
    EXPECT_TRUE(ReadFileBytes(Local("back.bin")) == bytes);
}

using SessionPerCall = SkiffsTest;

TEST_F(SessionPerCall, EveryCallLogsInAndQuitsUnlessTheVariableIsOne) {
    const std::string local = LocalFile("a.txt", "x");
    for (const char* value : {"", "0", "yes"}) {
        ::setenv("SKIFFS_KEEP_SESSION", value, 1);
        server_->ClearCommands();
        std::vector<int> results;
        OnOneThread([&] {
            results.push_back(Send(local, "B:\\1.txt"));
            results.push_back(Send(local, "B:\\2.txt"));
        });
        ::unsetenv("SKIFFS_KEEP_SESSION");
        EXPECT_EQ(results, (std::vector<int>{0, 0})) << value;
        EXPECT_EQ(server_->Commands(),
                  (Commands{"USER user", "PASS secret", "PWD", "CWD B:", "CWD /", "EPSV", "TYPE I", "STOR B:/1.txt",
                            "QUIT", "USER user", "PASS secret", "PWD", "CWD B:", "CWD /", "EPSV", "TYPE I",
                            "STOR B:/2.txt", "QUIT"}))
            << value;
    }
}

}  // namespace
}  // namespace tessel::test
