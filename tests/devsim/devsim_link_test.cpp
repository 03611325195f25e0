// The simulated link: the one-way delay on the console and on FTP, the rate on a data transfer, its options.
#include "console_client.h"
#include "devsim_process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

namespace tessel::test {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kDelayMs = 150;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

TEST(DevsimLink, EveryConsoleExchangeTakesAtLeastARoundTrip) {
    DevsimProcess device({"--link-delay", std::to_string(kDelayMs)});
    ConsoleClient client;
    ASSERT_TRUE(client.Connect(device.ConsolePort()));
    auto start = Clock::now();
    client.SendLine("admin");
    ASSERT_NE(client.ReadUntil("Password: ").find("Password: "), std::string::npos);
    // The first exchange also waits for the handshake a real link takes.
    EXPECT_GE(MsSince(start), 3 * kDelayMs);
    start = Clock::now();
    client.SendLine("admin");
    ASSERT_NE(client.ReadUntil("> ").find("> "), std::string::npos);
    EXPECT_GE(MsSince(start), 2 * kDelayMs);
}

TEST(DevsimLink, FtpGreetingAndEveryReplyTakeAtLeastARoundTrip) {
    DevsimProcess device({"--link-delay", std::to_string(kDelayMs)});
    ConsoleClient control;
    auto start = Clock::now();
    ASSERT_TRUE(control.Connect(device.FtpPort()));
    ASSERT_NE(control.ReadUntil("220 ").find("220 "), std::string::npos);
    // The handshake and the greeting: two round trips.
    EXPECT_GE(MsSince(start), 4 * kDelayMs);
    for (int i = 0; i < 2; ++i) {
        start = Clock::now();
        control.Send("NOOP\r\n");
        ASSERT_NE(control.ReadUntil("200 ").find("200 "), std::string::npos);
        EXPECT_GE(MsSince(start), 2 * kDelayMs);
    }
}

TEST(DevsimLink, AnUploadGoesNoFasterThanTheRate) {
    DevsimProcess device({"--link-rate", "64"});
    const auto local = device.Root().string() + ".upload.bin";
    constexpr std::size_t kBytes = 16 * 1024;
    std::ofstream(local, std::ios::binary) << std::string(kBytes, 'x');
    const auto start = Clock::now();
    ASSERT_TRUE(device.Upload(local, "B:/upload.bin"));
    // 16 KiB at 64 kbit/s is 2.05 s on the line; some slack for the first bytes in the socket buffers.
    EXPECT_GE(MsSince(start), 1800);
    std::filesystem::remove(local);
    EXPECT_EQ(std::filesystem::file_size(device.Root() / "B:" / "upload.bin"), kBytes);
}

TEST(DevsimLink, OutOfRangeLinkValuesAreRefused) {
    for (const auto& arguments : std::vector<std::vector<std::string>>{{"--root", "/tmp/x", "--link-delay", "10001"},
                                                                      {"--root", "/tmp/x", "--link-delay", "-5"},
                                                                      {"--root", "/tmp/x", "--link-rate", "1000001"},
                                                                      {"--root", "/tmp/x", "--link-rate", "fast"}}) {
        const RunResult result = RunDevsim(arguments);
        EXPECT_EQ(result.status, 2) << arguments.back();
        EXPECT_NE(result.output.find(arguments[2] + " needs a number from"), std::string::npos) << result.output;
    }
}

}  // namespace
}  // namespace tessel::test
