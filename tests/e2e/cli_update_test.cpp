// tessel-cli against tessel-devsim on loopback, with the real transfer library and FTP server.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "cli_fixture.h"

namespace tessel::test {
namespace {

class CliUpdate : public CliFixture {};

TEST_F(CliUpdate, FirmwareOfAnOldDeviceRunsTwoPasses) {
    MakePackage();
    StartDevice({"--firmware-version", "1.06.00"});
    const CliRun run = Run("firmware");
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.err, "ファームウェア・アップデートが終了しました。\n");
    EXPECT_NE(run.out.find("ファームウェア・アップデート終了"), std::string::npos);
    EXPECT_EQ(Count(run.out, "ファーム転送中"), 2);
    EXPECT_EQ(Count(device_->Output(), "installed firmware 01.08.00"), 2);
    EXPECT_EQ(Device("B:/kbteva.bin"), shipped_["kbteva.bin"]);
    EXPECT_EQ(Device("B:/prism3.dat"), shipped_["prism3.dat"]);
    ExpectPackageAsShipped();
}

TEST_F(CliUpdate, FirmwareOfACurrentDeviceRunsOnce) {
    MakePackage();
    StartDevice({"--firmware-version", "1.07.00"});
    const CliRun run = Run("firmware");
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(Count(device_->Output(), "installed firmware"), 1);
}

// Every listed file is on the device with its plain bytes; the package is untouched.
void ExpectListedFilesInstalled(const std::map<std::string, std::string>& shipped, const fs::path& deviceRoot) {
    const std::string management = shipped.at("UpDateMng.txt");
    const std::size_t keyAt = management.find("#M# ");
    ASSERT_NE(keyAt, std::string::npos);
    const auto key = static_cast<char>(std::stoi(management.substr(keyAt + 4, 2), nullptr, 16));
    std::istringstream lines(management);
    int listed = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("#L# ", 0) != 0) continue;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream fields(line.substr(4));
        std::string scrambled, plain, devicePath;
        std::getline(fields, scrambled, ',');
        std::getline(fields, plain, ',');
        std::getline(fields, devicePath);
        std::string expected = shipped.at(scrambled);
        for (char& c : expected) c ^= key;
        std::replace(devicePath.begin(), devicePath.end(), '\\', '/');
        EXPECT_EQ(ReadFileBytes(deviceRoot / devicePath), expected) << devicePath;
        ++listed;
    }
    EXPECT_EQ(listed, 3);
    EXPECT_EQ(ReadFileBytes(deviceRoot / "C:/www/VersionS.txt"), shipped.at("VersionS.txt"));
    EXPECT_EQ(ReadFileBytes(deviceRoot / "C:/www/control/spacer.gif"), shipped.at("spacer.gif"));
}

TEST_F(CliUpdate, ScriptUpdateWithMoveAsideAndRestore) {
    MakePackage();
    StartDevice({});
    const std::string autoscript = Device("C:/system/autoscript.wcr");
    const CliRun run = Run("script");
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.err, "スクリプト・アップデートが終了しました。\n");
    EXPECT_EQ(Count(run.out, "AutoScript移動中"), 2);
    ExpectListedFilesInstalled(shipped_, device_->Root());
    // The device's own autoscript is back in its place and its backup gone.
    EXPECT_EQ(Device("C:/system/autoscript.wcr"), autoscript);
    EXPECT_FALSE(fs::exists(device_->Root() / "C:/system/autoscript.bak"));
    ExpectPackageAsShipped();
}

TEST_F(CliUpdate, ScriptUpdateWithoutMoveLeavesTheAutoscriptAlone) {
    MakePackage(/*moveAside=*/false);
    StartDevice({});
    const CliRun run = Run("script");
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(Count(run.out, "AutoScript移動中"), 0);
    ExpectListedFilesInstalled(shipped_, device_->Root());
    EXPECT_FALSE(fs::exists(device_->Root() / "B:/m_AutoScript.wcr"));
    ExpectPackageAsShipped();
}

TEST_F(CliUpdate, TwoScriptUpdatesFromOneReadOnlyPackageRunAtOnce) {
    MakePackage();
    StartDevice({});
    DevsimProcess second({"--restart-time", "300", "--expansion-delay", "20"});
    const std::string autoscript = Device("C:/system/autoscript.wcr");
    for (const auto& entry : fs::directory_iterator(package_)) {
        fs::permissions(entry.path(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    }
    fs::permissions(package_, fs::perms::owner_read | fs::perms::owner_exec);
    const fs::path temp = work_ / "tmp";
    fs::create_directory(temp);
    const auto command = [&](const DevsimProcess& device, const std::string& name) {
        return "TMPDIR=" + Quote(temp.string()) + " timeout 120 " + Quote(TESSEL_CLI_PROGRAM) +
               " script --address 127.0.0.1 --login admin --password admin --ftp-port " +
               std::to_string(device.FtpPort()) + " --console-port " + std::to_string(device.ConsolePort()) +
               " --package " + Quote(package_.string()) + " >" + Quote((work_ / name).string()) + " 2>&1";
    };
    int status = -1;
    const std::string statuses = RunCommand("(" + command(*device_, "first.txt") + "; echo first $?) & (" +
                                                command(second, "second.txt") + "; echo second $?) & wait",
                                            &status);
    fs::permissions(package_, fs::perms::owner_all);
    EXPECT_NE(statuses.find("first 0"), std::string::npos) << statuses << ReadFileBytes(work_ / "first.txt");
    EXPECT_NE(statuses.find("second 0"), std::string::npos) << statuses << ReadFileBytes(work_ / "second.txt");
    ExpectListedFilesInstalled(shipped_, device_->Root());
    ExpectListedFilesInstalled(shipped_, second.Root());
    EXPECT_EQ(ReadFileBytes(second.Root() / "C:/system/autoscript.wcr"), autoscript);
    ExpectPackageAsShipped();
    // Each run removed its work folder.
    EXPECT_TRUE(fs::is_empty(temp));
}

TEST_F(CliUpdate, KeepFtpSessionUploadsTheScriptFilesAfterTheRestartUnderOneLogin) {
    MakePackage();
    const fs::path log = work_ / "ftp.log";
    StartDevice({"--ftp-log", log.string()});
    const CliRun run = Run("script", "admin", "--keep-ftp-session");
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    ExpectListedFilesInstalled(shipped_, device_->Root());
    // The move-aside script goes up first and the device restarts, which ends the session; every file
    // after the restart goes under one more login.
    const std::string commands = ReadFileBytes(log);
    EXPECT_EQ(Count(commands, "USER "), 2) << commands;
    EXPECT_GT(Count(commands.substr(commands.rfind("USER ")), "\nSTOR "), 1) << commands;
}

TEST_F(CliUpdate, KeepFtpSessionLogsInAnewAfterTheDeviceRestarted) {
    MakePackage();
    const fs::path log = work_ / "ftp.log";
    StartDevice({"--firmware-version", "1.06.00", "--ftp-log", log.string()});
    const CliRun run = Run("firmware", "admin", "--keep-ftp-session");
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(Count(device_->Output(), "installed firmware 01.08.00"), 2);
    EXPECT_EQ(Device("B:/kbteva.bin"), shipped_["kbteva.bin"]);
    EXPECT_EQ(Device("B:/prism3.dat"), shipped_["prism3.dat"]);
    // The restart between the passes ended the kept connection; each pass logged in once.
    const std::string commands = ReadFileBytes(log);
    EXPECT_EQ(Count(commands, "USER "), 2) << commands;
    EXPECT_GT(Count(commands, "\nSTOR "), 2) << commands;
}

TEST_F(CliUpdate, WrongPasswordFails) {
    MakePackage(/*moveAside=*/false);
    StartDevice({});
    const CliRun run = Run("script", "wrong");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("ログイン Error!!"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(device_->Root() / "C:/www/index.htm"));
    ExpectPackageAsShipped();
}

TEST_F(CliUpdate, TextGoesToTheDeviceInCodePage932AndVerboseShowsTheTraffic) {
    MakePackage(/*moveAside=*/false);
    StartDevice({});
    const CliRun run = Run("script", "admin", "--login '管理者' --verbose");
    EXPECT_EQ(run.status, 1);
    // The terminal's UTF-8 text reaches the device as the code page 932 bytes of the same characters.
    EXPECT_NE(device_->Output().find("login ID \"\\x8a\\xc7\\x97\\x9d\\x8e\\xd2\""), std::string::npos)
        << device_->Output();
    EXPECT_NE(run.err.find("> 管理者"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("< Login incorrect"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("ログイン Error!!"), std::string::npos) << run.err;
}

TEST_F(CliUpdate, SysupErrorFails) {
    MakePackage();
    StartDevice({"--sysup-error"});
    const CliRun run = Run("firmware");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Update Check Error!!"), std::string::npos) << run.err;
    EXPECT_EQ(Count(device_->Output(), "restarting"), 0);
}

TEST_F(CliUpdate, RefusedFtpLoginStopsBeforeTheConsole) {
    MakePackage();
    StartDevice({"--ftp-password", "other"});
    const CliRun run = Run("firmware");
    EXPECT_EQ(run.status, 1);
    // The message as the dialog shows it, then the file it was sending.
    EXPECT_TRUE(run.err.starts_with("FTP送信エラー(コネクションエラー)\nfile: /")) << run.err;
    EXPECT_TRUE(run.err.ends_with("/package/kbteva.bin\n")) << run.err;
    EXPECT_EQ(Count(device_->Output(), "connected from"), 0);
    EXPECT_FALSE(fs::exists(device_->Root() / "B:/kbteva.bin"));
}

TEST(CliCommandLine, UsageErrorsExitWithTwo) {
    for (const std::string args : {"", "firmware", "flash --address a --login b --password c",
                                   "script --address a --login b --password c --ftp-port 70000",
                                   "script --address a --login b --password c --bogus"}) {
        int status = -1;
        const std::string out = RunCommand("timeout 30 " + Quote(TESSEL_CLI_PROGRAM) + " " + args + " 2>&1", &status);
        EXPECT_EQ(status, 2) << args;
        EXPECT_NE(out.find("Usage: tessel-cli"), std::string::npos) << args;
    }
}

}  // namespace
}  // namespace tessel::test
