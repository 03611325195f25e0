// Asking a device its version, checking what an update installed, and repairing an update cut off between
// the autoscript's move-aside and its restore: tessel-cli against tessel-devsim.
#include <algorithm>
#include <csignal>
#include <string>

#include "cli_fixture.h"

namespace tessel::test {
namespace {

class CliMaintenance : public CliFixture {
protected:
    // The package's firmware version line says another version than its image installs.
    void ClaimVersion(const std::string& version) {
        std::string text = ReadFileBytes(package_ / "UpDateMng.txt");
        const std::size_t at = text.find("#F# ");
        ASSERT_NE(at, std::string::npos);
        text.replace(at + 4, 8, version);
        WriteFileBytes(package_ / "UpDateMng.txt", text);
    }
};

TEST_F(CliMaintenance, VersionReadsTheDeviceAndInstallsNothing) {
    MakePackage();
    StartDevice({"--firmware-version", "1.06.00"});
    CliRun run = Run("version");
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("firmware 01.06.00\n"), std::string::npos) << run.out;
    EXPECT_EQ(Count(device_->Output(), "sysup"), 0);
    EXPECT_EQ(Count(device_->Output(), "restarting"), 0);
    run = Run("version", "admin", "--json");
    EXPECT_EQ(run.status, 0) << run.err;
    // Standard output is the record alone.
    EXPECT_EQ(run.out.find("firmware 01.06.00"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(R"("address":"127.0.0.1")"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(R"("version":"01.06.00")"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(R"("result":"succeeded")"), std::string::npos) << run.out;
    EXPECT_EQ(Run("version", "wrong").status, 1);
}

TEST_F(CliMaintenance, JapanesePasswordReachesConsoleAndFtpInCodePage932) {
    MakePackage();
    // The device holds it in code page 932, with a 0x5C trail byte (表) and half-width katakana: only those
    // bytes log in, at the console and at the FTP service.
    StartDevice({"--password", "合言葉-表ｶﾅ", "--firmware-version", "1.06.00"});
    const CliRun run = Run("version", "合言葉-表ｶﾅ");
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("firmware 01.06.00\n"), std::string::npos) << run.out;
    EXPECT_EQ(Count(device_->Output(), "login accepted"), 1) << device_->Output();
    EXPECT_EQ(Run("version", "合言葉-表ｶ").status, 1);
}

TEST_F(CliMaintenance, WithoutPackageTheCurrentFolderHoldsIt) {
    MakePackage();
    StartDevice({"--firmware-version", "1.06.00"});
    // The program's own folder (the build tree) holds no UpDateMng.txt.
    const std::string args = "version --address 127.0.0.1 --login admin --password admin --ftp-port " +
                             std::to_string(device_->FtpPort()) + " --console-port " +
                             std::to_string(device_->ConsolePort());
    const std::string environment = environment_;
    environment_ = "cd " + Quote(package_.string()) + " && " + environment;
    CliRun run = RunArgs(args);
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("firmware 01.06.00\n"), std::string::npos) << run.out;
    environment_ = "cd " + Quote(work_.string()) + " && " + environment;
    run = RunArgs(args);
    EXPECT_EQ(run.status, 1) << run.out << run.err;
    EXPECT_EQ(run.out.find("firmware 01.06.00"), std::string::npos) << run.out;
}

TEST_F(CliMaintenance, SkipCurrentLeavesADeviceOnThePackagesVersionAlone) {
    MakePackage();
    StartDevice({"--firmware-version", "1.08.00"});
    CliRun run = Run("firmware", "admin", "--skip-current");
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("already runs firmware 01.08.00; left alone"), std::string::npos) << run.out;
    EXPECT_EQ(Count(device_->Output(), "sysup"), 0);
    device_.reset();
    StartDevice({"--firmware-version", "1.07.00"});
    run = Run("firmware", "admin", "--skip-current --verify-version");
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(Count(device_->Output(), "installed firmware 01.08.00"), 1);
    EXPECT_NE(run.out.find("the device runs firmware 01.08.00, as the package carries"), std::string::npos) << run.out;
}

TEST_F(CliMaintenance, VerifyVersionFailsWhenTheDeviceRunsAnotherVersion) {
    MakePackage();
    ClaimVersion("01.09.00");
    StartDevice({"--firmware-version", "1.07.00"});
    const CliRun run = Run("firmware", "admin", "--verify-version");
    EXPECT_EQ(run.status, 1) << run.out << run.err;
    // The update's own message said it ended; the check says otherwise.
    EXPECT_NE(run.err.find("ファームウェア・アップデートが終了しました。"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("the device runs firmware 01.08.00, but the package carries 01.09.00"), std::string::npos)
        << run.err;
}

TEST_F(CliMaintenance, AnUpdateKilledAfterTheMoveAsideIsRepairedByTheNextRun) {
    MakePackage();
    const std::string autoscript = "Function main()\r\n{\r\nprint(\"site 7 logger\");\r\n}\r\n";
    WriteFileBytes(work_ / "autoscript.wcr", autoscript);
    StartDevice({"--autoscript", (work_ / "autoscript.wcr").string()});
    ASSERT_EQ(Device("C:/system/autoscript.wcr"), autoscript);
    const fs::path pidFile = work_ / "cli.pid";
    RunCommand(environment_ + " " + Quote(TESSEL_CLI_PROGRAM) +
               " script --address 127.0.0.1 --login admin --password admin --ftp-port " +
               std::to_string(device_->FtpPort()) + " --console-port " + std::to_string(device_->ConsolePort()) +
               " --package " + Quote(package_.string()) + " >/dev/null 2>&1 & echo $! > " + Quote(pidFile.string()));
    // The device restarts after the move-aside: the transfer and the restore are still to come.
    ASSERT_TRUE(device_->WaitForOutput("restarting", 30000)) << device_->Output();
    const pid_t pid = static_cast<pid_t>(std::stol(ReadFileBytes(pidFile)));
    ASSERT_EQ(::kill(pid, SIGKILL), 0);
    RunCommand("while kill -0 " + std::to_string(pid) + " 2>/dev/null; do sleep 0.1; done");
    const std::vector<std::string> cutOff = device_->ListFiles();
    EXPECT_EQ(std::count(cutOff.begin(), cutOff.end(), "C:/system/autoscript.bak " + std::to_string(autoscript.size())),
              1)
        << ::testing::PrintToString(cutOff);
    EXPECT_EQ(std::count_if(cutOff.begin(), cutOff.end(),
                            [](const std::string& file) { return file.starts_with("C:/system/autoscript.wcr"); }),
              0);

    const CliRun run = Run("script");
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_NE(run.err.find("an earlier update of this device was interrupted"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("AutoScriptを元に戻しました。"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("スクリプト・アップデートが終了しました。"), std::string::npos) << run.err;
    EXPECT_EQ(Device("C:/system/autoscript.wcr"), autoscript);
    EXPECT_FALSE(fs::exists(device_->Root() / "C:/system/autoscript.bak"));
    EXPECT_TRUE(fs::is_empty(work_ / "state" / "tessel"));
    ExpectPackageAsShipped();
}

TEST_F(CliMaintenance, RestoreAutoscriptAloneIsSafeAtAnyTime) {
    MakePackage();
    StartDevice({});
    const std::string autoscript = Device("C:/system/autoscript.wcr");
    const CliRun run = Run("restore-autoscript");
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.err, "AutoScriptを元に戻しました。\n");
    EXPECT_EQ(Device("C:/system/autoscript.wcr"), autoscript);
}

}  // namespace
}  // namespace tessel::test
