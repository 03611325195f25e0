// Many devices in one simulator: each on its own address, with its own console, state and files.
#include "console_client.h"
#include "devsim_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace tessel::test {
namespace {

constexpr int kFleetRestartTimeMs = 4000;

// From 127.0.0.254 the count carries into the next octet.
const std::vector<std::string> kAddresses = {"127.0.0.254", "127.0.0.255", "127.0.1.0"};

TEST(DevsimFleet, EachDeviceAnswersOnItsOwnAddressOverItsOwnFiles) {
    DevsimProcess fleet({"--devices", "3", "--host", kAddresses[0]});
    const std::string local = fleet.Root().string() + ".upload";
    std::ofstream(local, std::ios::binary) << "bytes";
    for (std::size_t i = 0; i < kAddresses.size(); ++i) {
        SCOPED_TRACE(kAddresses[i]);
        ConsoleClient console;
        ASSERT_TRUE(console.Connect(fleet.ConsolePort(), kAddresses[i]));
        ASSERT_NE(console.Login().find(">"), std::string::npos);
        console.SendLine("mkdir \"Made" + std::to_string(i) + "\"");
        EXPECT_NE(console.ReadUntil("> ").find("value = 0x0 = 0"), std::string::npos);
        EXPECT_TRUE(fleet.Upload(local, "B:/sent" + std::to_string(i) + ".dat", "admin", "admin", kAddresses[i]));
    }
    for (std::size_t i = 0; i < kAddresses.size(); ++i) {
        SCOPED_TRACE(kAddresses[i]);
        const auto folder = fleet.Root() / kAddresses[i];
        EXPECT_TRUE(std::filesystem::is_directory(folder / "C:" / ("Made" + std::to_string(i))));
        // What the console made, the FTP service on the same address serves, and only there.
        const std::vector<std::string> drive = fleet.ListFolder("C:/", kAddresses[i]);
        EXPECT_EQ(std::count(drive.begin(), drive.end(), "Made" + std::to_string(i)), 1);
        EXPECT_EQ(std::count_if(drive.begin(), drive.end(),
                                [](const std::string& name) { return name.rfind("Made", 0) == 0; }),
                  1);
        EXPECT_EQ(fleet.ListFolder("B:/", kAddresses[i]),
                  std::vector<std::string>{"sent" + std::to_string(i) + ".dat"});
    }
    const std::vector<std::string> files = fleet.ListFiles();
    EXPECT_EQ(std::count(files.begin(), files.end(), "127.0.0.255/B:/sent1.dat 5"), 1);
    EXPECT_EQ(std::count(files.begin(), files.end(), "127.0.1.0/C:/system/autoscript.wcr 44"), 1);
    std::filesystem::remove(local);
}

TEST(DevsimFleet, ARestartEndsTheConnectionsOfItsOwnDeviceOnly) {
    DevsimProcess fleet({"--devices", "2", "--restart-time", std::to_string(kFleetRestartTimeMs)});
    ConsoleClient ftpFirst;
    ConsoleClient ftpSecond;
    ASSERT_TRUE(ftpFirst.Connect(fleet.FtpPort(), "127.0.0.1"));
    ASSERT_TRUE(ftpSecond.Connect(fleet.FtpPort(), "127.0.0.2"));
    ASSERT_NE(ftpFirst.ReadUntil("220 ").find("220 "), std::string::npos);
    ASSERT_NE(ftpSecond.ReadUntil("220 ").find("220 "), std::string::npos);
    ConsoleClient first;
    ConsoleClient second;
    ASSERT_TRUE(first.Connect(fleet.ConsolePort(), "127.0.0.1"));
    ASSERT_NE(first.Login().find(">"), std::string::npos);
    ASSERT_TRUE(second.Connect(fleet.ConsolePort(), "127.0.0.2"));
    ASSERT_NE(second.Login().find(">"), std::string::npos);

    second.SendLine("reboot");
    ASSERT_TRUE(second.WaitClosed());
    EXPECT_TRUE(ftpSecond.WaitClosed()) << "the restart ends the device's FTP connections";
    ConsoleClient during;
    EXPECT_FALSE(during.Connect(fleet.ConsolePort(), "127.0.0.2")) << "refused while restarting";

    // The other device runs on: its connections stay and answer.
    first.SendLine("mkdir \"Still\"");
    EXPECT_NE(first.ReadUntil("> ").find("value = 0x0 = 0"), std::string::npos);
    ftpFirst.Send("NOOP\r\n");
    EXPECT_NE(ftpFirst.ReadUntil("200 ").find("200 "), std::string::npos);
    ConsoleClient otherNew;
    ASSERT_TRUE(otherNew.Connect(fleet.ConsolePort(), "127.0.0.1"));
    EXPECT_NE(otherNew.Login().find(">"), std::string::npos);

    ASSERT_TRUE(fleet.WaitForOutput("127.0.0.2 device: restarted", kFleetRestartTimeMs + 10000)) << fleet.Output();
    EXPECT_EQ(fleet.Output().find("127.0.0.1 device: restarting"), std::string::npos);
    ConsoleClient ftpAfter;
    ASSERT_TRUE(ftpAfter.Connect(fleet.FtpPort(), "127.0.0.2"));
    EXPECT_NE(ftpAfter.ReadUntil("220 ").find("220 "), std::string::npos) << "its FTP service is back";
}

TEST(DevsimFleet, RefusesAFleetItCannotPlace) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--root", "unused", "--devices", "0"},
          std::vector<std::string>{"--root", "unused", "--devices", "10001"},
          std::vector<std::string>{"--root", "unused", "--devices", "2", "--host", "::1"},
          std::vector<std::string>{"--root", "unused", "--devices", "3", "--host", "255.255.255.254"}}) {
        const RunResult result = RunDevsim(arguments);
        EXPECT_EQ(result.status, 2) << result.output;
        EXPECT_NE(result.output.find("--devices"), std::string::npos) << result.output;
    }
}

}  // namespace
}  // namespace tessel::test
