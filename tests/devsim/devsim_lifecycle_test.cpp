// Restart, silence, FTP down, command line and clean stop of the simulator.
#include "console_client.h"
#include "devsim_process.h"

#include <gtest/gtest.h>

#include <fstream>

namespace tessel::test {
namespace {

constexpr int kRestartTimeMs = 4000;

TEST(DevsimLifecycle, RebootAnswersDropsTheConnectionRefusesNewOnesThenAcceptsAgain) {
    DevsimProcess device({"--restart-time", std::to_string(kRestartTimeMs)});
    ConsoleClient ftp;
    ASSERT_TRUE(ftp.Connect(device.FtpPort()));
    ASSERT_NE(ftp.ReadUntil("220 ").find("220 "), std::string::npos);
    ConsoleClient client;
    ASSERT_TRUE(client.Connect(device.ConsolePort()));
    ASSERT_NE(client.Login().find(">"), std::string::npos);
    client.SendLine("reboot");
    EXPECT_FALSE(client.ReadUntil("\n").empty()) << "the device answers before it restarts";
    ASSERT_TRUE(client.WaitClosed());
    EXPECT_TRUE(ftp.WaitClosed()) << "the restart ends the FTP connections too";

    ConsoleClient during;
    EXPECT_FALSE(during.Connect(device.ConsolePort())) << "refused while restarting";
    // The FTP service takes the connection and ends it before its greeting.
    ConsoleClient ftpDuring;
    if (ftpDuring.Connect(device.FtpPort())) {
        EXPECT_EQ(ftpDuring.ReadUntil("220 ").find("220 "), std::string::npos) << "greeted while restarting";
        EXPECT_TRUE(ftpDuring.WaitClosed());
    }
    ASSERT_TRUE(device.WaitForOutput("device: restarted", kRestartTimeMs + 10000));
    ConsoleClient after;
    ASSERT_TRUE(after.Connect(device.ConsolePort()));
    EXPECT_NE(after.Login().find(">"), std::string::npos) << "a restarted device asks for a new login";
    ConsoleClient ftpAfter;
    ASSERT_TRUE(ftpAfter.Connect(device.FtpPort()));
    EXPECT_NE(ftpAfter.ReadUntil("220 ").find("220 "), std::string::npos)
        << "the FTP service is back\n"
        << device.Output();
}

TEST(DevsimLifecycle, SilentAfterACommandTheConsoleNeverAnswersAgain) {
    DevsimProcess device({"--silent-after", "sysup"});
    ConsoleClient client;
    ASSERT_TRUE(client.Connect(device.ConsolePort()));
    ASSERT_NE(client.Login().find(">"), std::string::npos);
    client.SendLine("mkdir \"Before\"");
    EXPECT_NE(client.ReadUntil("> ").find("value = 0x0 = 0"), std::string::npos);
    client.SendLine("sysup \"B:\\kbteva.bin\"");
    client.SendLine("y");
    ASSERT_TRUE(device.WaitForOutput("falls silent"));
    ASSERT_TRUE(device.WaitForOutput("received \"y\""));
    EXPECT_EQ(client.ReadFor(500), "");

    ConsoleClient other;
    ASSERT_TRUE(other.Connect(device.ConsolePort()));
    other.SendLine("admin");
    EXPECT_EQ(other.ReadFor(500), "") << "no answer on a new connection either";
}

TEST(DevsimLifecycle, UploadsGoToTheDeviceFileSystemWithTheConsoleCredentialsOnly) {
    DevsimProcess device({"--login", "op", "--password", "pw"});
    const auto local = device.Root().string() + ".prism3.dat";
    std::ofstream(local, std::ios::binary) << "data";
    EXPECT_TRUE(device.Upload(local, "B:/prism3.dat", "op", "pw"));
    EXPECT_TRUE(std::filesystem::exists(device.Root() / "B:" / "prism3.dat"));
    EXPECT_TRUE(device.Upload(local, "C:/www/control/spacer.gif", "op", "pw"));
    EXPECT_FALSE(device.Upload(local, "C:/www/missing/spacer.gif", "op", "pw")) << "the folder must exist";
    EXPECT_FALSE(device.Upload(local, "B:/other.dat", "op", "wrong"));
    EXPECT_FALSE(std::filesystem::exists(device.Root() / "B:" / "other.dat"));
    std::filesystem::remove(local);
}

TEST(DevsimLifecycle, SigtermStopsTheFtpServerAndEndsCleanly) {
    DevsimProcess device;
    const auto ftpPort = device.FtpPort();
    ASSERT_NE(ftpPort, 0);
    EXPECT_EQ(device.Stop(), 0);
    EXPECT_NE(device.Output().find("ftp: server stopped"), std::string::npos);
    ConsoleClient probe;
    EXPECT_FALSE(probe.Connect(ftpPort)) << "the FTP server is gone";
}

TEST(DevsimLifecycle, WithoutFtpTheReadyLineSaysPortZeroAndTheConsoleStillServes) {
    DevsimProcess device({"--no-ftp"});
    EXPECT_EQ(device.FtpPort(), 0);
    ConsoleClient client;
    ASSERT_TRUE(client.Connect(device.ConsolePort()));
    EXPECT_NE(client.Login().find(">"), std::string::npos);
}

TEST(DevsimLifecycle, BadOptionsEndWithStatusTwoAndTheUsage) {
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"--console-port", "0"},
             {"--root", "/tmp/x", "--console-port", "70000"},
             {"--root", "/tmp/x", "--firmware-version", "1.2"},
             {"--root", "/tmp/x", "--restart-time"},
             {"--root", "/tmp/x", "--frobnicate"}}) {
        const RunResult result = RunDevsim(arguments);
        EXPECT_EQ(result.status, 2) << arguments.back();
        EXPECT_NE(result.output.find("Usage: tessel-devsim"), std::string::npos);
    }
    const RunResult help = RunDevsim({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("ready console=PORT ftp=PORT"), std::string::npos);
}

}  // namespace
}  // namespace tessel::test
