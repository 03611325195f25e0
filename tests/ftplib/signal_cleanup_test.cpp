// A program ended by a signal while it uploads a converted copy leaves no copy and no folder behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>

#include "child_process.h"
#include "hostile_server.h"
#include "skiffs_fixture.h"

namespace tessel::test {
namespace {

namespace fs = std::filesystem;

// Every file below dir, however deep.
std::size_t FilesBelow(const fs::path& dir) {
    std::size_t files = 0;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(dir, error); !error && it != fs::recursive_directory_iterator();
         it.increment(error)) {
        if (it->is_regular_file(error)) ++files;
    }
    return files;
}

// Waits up to limit for the child to end; its wait status, or nothing.
std::optional<int> WaitFor(pid_t pid, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return status;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return std::nullopt;
}

TEST(SignalCleanup, ASignalDuringAConvertedUploadRemovesTheCopyAndItsFolder) {
    // Slow enough that the upload is still running when the signal comes.
    HostileServer server({.dataBytesPerSecond = 4096});
    const fs::path work = MakeTempDir("signal-cleanup");
    const fs::path temp = work / "tmp";
    fs::create_directories(temp);
    const fs::path local = work / "text.txt";
    WriteFileBytes(local, std::string(256 * 1024, 'a'));

    // The child's converted copies go below temp alone.
    const char* saved = std::getenv("TMPDIR");
    const std::string savedTmp = saved ? saved : "";
    setenv("TMPDIR", temp.c_str(), 1);
    int output = -1;
    const pid_t child = SpawnChild({SKIFFS_SEND_CHILD, std::to_string(server.port()), local.string(), "text.txt"},
                                   output, (work / "child.err").string());
    if (saved) {
        setenv("TMPDIR", savedTmp.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
    ASSERT_GT(child, 0);

    const auto deadline = std::chrono::steady_clock::now() + kWaitLimit;
    while (server.Received() == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_GT(server.Received(), 0u);
    ASSERT_EQ(FilesBelow(temp), 1u) << "the converted copy is there while the upload runs";

    ASSERT_EQ(kill(child, SIGTERM), 0);
    const std::optional<int> status = WaitFor(child, std::chrono::seconds(10));
    if (!status) StopChild(child, 1000);
    ASSERT_TRUE(status.has_value());
    close(output);
    EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == SIGTERM) << "the signal still ends the program";
    EXPECT_TRUE(fs::is_empty(temp)) << "neither the copy nor its folder is left";
    fs::remove_all(work);
}

}  // namespace
}  // namespace tessel::test
