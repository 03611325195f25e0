// Many devices from one tessel-cli command: a fleet of simulated devices with faults, its report, its limits
// and its interruption.
#include <csignal>
#include <future>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli_fixture.h"

namespace tessel::test {
namespace {

constexpr const char* kPassword = "fleet-pw-4417";

class CliFleet : public CliFixture {
protected:
    // One simulated device per row; each row names its device by another spelling of the loopback address,
    // as the transfer library allows one transfer per host.
    struct Row {
        std::string name;
        std::string address;
        std::string password;  // empty: the command line's
        bool down = false;
    };

    // With ftpLogs, each device's FTP server writes the commands it receives to FtpLog(name).
    void MakeFleet(const std::vector<Row>& rows, bool ftpLogs = false) {
        std::string csv = "name,address,login,password,ftp_port,console_port\n";
        for (const Row& row : rows) {
            std::string ports = "1,1";
            if (!row.down) {
                std::vector<std::string> options = {"--restart-time", "300", "--expansion-delay", "20", "--password",
                                                    kPassword};
                if (ftpLogs) options.insert(options.end(), {"--ftp-log", FtpLog(row.name).string()});
                devices_.push_back(std::make_unique<DevsimProcess>(options));
                ports =
                    std::to_string(devices_.back()->FtpPort()) + "," + std::to_string(devices_.back()->ConsolePort());
            }
            csv += row.name + "," + row.address + ",," + row.password + "," + ports + "\n";
        }
        WriteFileBytes(work_ / "fleet.csv", csv);
    }
    CliRun RunFleet(const std::string& options) {
        return RunArgs("firmware --inventory " + Quote((work_ / "fleet.csv").string()) + " --login admin --package " +
                       Quote(package_.string()) + " --report " + Quote((work_ / "report.json").string()) + " " +
                       options);
    }
    std::string Report() const { return ReadFileBytes(work_ / "report.json"); }
    fs::path FtpLog(const std::string& name) const { return work_ / (name + ".ftp.log"); }
    // The fleet run in the background, its output to out.txt; returns the pid of its timeout, whose child is
    // tessel-cli.
    std::string StartFleet(const std::string& options) {
        const fs::path pidFile = work_ / "fleet.pid";
        RunCommand(environment_ + " TESSEL_PASSWORD=" + kPassword + " timeout 120 " + Quote(TESSEL_CLI_PROGRAM) +
                   " firmware --inventory " + Quote((work_ / "fleet.csv").string()) + " --login admin " + options +
                   " --package " + Quote(package_.string()) + " --report " + Quote((work_ / "report.json").string()) +
                   " >" + Quote((work_ / "out.txt").string()) + " 2>&1 & echo $! > " + Quote(pidFile.string()));
        const std::string pid = ReadFileBytes(pidFile);
        return pid.substr(0, pid.find('\n'));
    }
    // The report once the background run has written it (bounded: 60 s).
    std::string WaitForReport() {
        RunCommand("for i in $(seq 600); do [ -e " + Quote((work_ / "report.json").string()) +
                   " ] && break; sleep 0.1; done");
        return Report();
    }

    std::vector<std::unique_ptr<DevsimProcess>> devices_;
};

// The record of one device in the report, from its name to the end of its object.
std::string RecordOf(const std::string& report, const std::string& name) {
    const std::size_t at = report.find("\"name\": \"" + name + "\"");
    if (at == std::string::npos) return {};
    const std::size_t begin = report.rfind('{', at);
    return report.substr(begin, report.find('}', at) - begin);
}

TEST_F(CliFleet, AFleetWithFaultsEndsWithACorrectReport) {
    MakePackage();
    MakeFleet({{"logger-1", "127.0.0.1", "", false},
               {"logger-2", "127.1", "wrong-pw-91", false},
               {"logger-3", "127.0.1", "", true}});
    environment_ += std::string(" TESSEL_PASSWORD=") + kPassword;
    const CliRun run = RunFleet("--parallel 3");
    EXPECT_EQ(run.status, 1) << run.out << run.err;
    EXPECT_NE(run.out.find("[logger-1] ファームウェア・アップデート終了"), std::string::npos) << run.out;
    // Its FTP login is refused first.
    EXPECT_NE(run.out.find("[logger-2] FTP送信エラー(コネクションエラー)"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("[logger-3] FTP送信エラー(コネクションエラー)"), std::string::npos) << run.out;
    const std::string report = Report();
    EXPECT_NE(report.find("\"succeeded\": 1"), std::string::npos) << report;
    EXPECT_NE(report.find("\"failed\": 2"), std::string::npos) << report;
    EXPECT_NE(RecordOf(report, "logger-1").find("\"result\": \"succeeded\""), std::string::npos) << report;
    EXPECT_NE(RecordOf(report, "logger-2").find("\"result\": \"failed\""), std::string::npos) << report;
    EXPECT_NE(RecordOf(report, "logger-3").find("\"result\": \"failed\""), std::string::npos) << report;
    EXPECT_NE(report.find("\"caption\": \"Tessel デモ・アップデート\""), std::string::npos) << report;
    EXPECT_EQ(Count(devices_[0]->Output(), "installed firmware 01.08.00"), 1);
    // The password stands nowhere: not in the report, not in the output.
    EXPECT_EQ(report.find("admin\"") == std::string::npos || report.find("\"login\": \"admin\"") != std::string::npos,
              true);
    EXPECT_EQ(report.find("wrong"), std::string::npos) << report;
    EXPECT_EQ(run.out.find("wrong"), std::string::npos) << run.out;

    // Again, only for the two that did not succeed.
    const CliRun retry = RunArgs("firmware --retry-failed " + Quote((work_ / "report.json").string()) + " --password " +
                                 kPassword + " --package " + Quote(package_.string()));
    EXPECT_EQ(retry.status, 1) << retry.out << retry.err;
    EXPECT_EQ(retry.out.find("[logger-1]"), std::string::npos) << retry.out;
    EXPECT_NE(retry.out.find("[logger-2]"), std::string::npos) << retry.out;
    EXPECT_NE(retry.out.find("[logger-3]"), std::string::npos) << retry.out;
    EXPECT_EQ(Count(devices_[0]->Output(), "installed firmware 01.08.00"), 1);
}

TEST_F(CliFleet, ASignedPackageUpdatesTheFleetAndTheReportNamesTheSigner) {
    MakePackage(false);
    int status = -1;
    const fs::path trusted = work_ / "trusted";
    fs::create_directories(trusted);
    RunPack("keygen " + Quote((work_ / "maker").string()), &status);
    ASSERT_EQ(status, 0);
    fs::copy_file(work_ / "maker.pub", trusted / "maker.pub");
    const std::string signOutput =
        RunPack("sign " + Quote(package_.string()) + " --key " + Quote((work_ / "maker.key").string()), &status);
    ASSERT_EQ(status, 0) << signOutput;
    MakeFleet({{"logger-1", "127.0.0.1", "", false}, {"logger-2", "127.1", "", false}});
    environment_ += std::string(" TESSEL_PASSWORD=") + kPassword + " TESSEL_TRUSTED_KEYS=" + Quote(trusted.string());
    const CliRun run = RunFleet("--parallel 2");
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    const std::string report = Report();
    EXPECT_NE(report.find("\"signer\": {\n      \"key\": \"SHA256:"), std::string::npos) << report;
    EXPECT_EQ(Count(report, "\"name\": \"maker\""), 3) << report;
    EXPECT_EQ(Count(devices_[0]->Output(), "installed firmware 01.08.00"), 1);
    EXPECT_EQ(Count(devices_[1]->Output(), "installed firmware 01.08.00"), 1);

    // Changed after signing: refused before any device is reached.
    WriteFileBytes(package_ / "prism3.dat", ReadFileBytes(package_ / "prism3.dat") + "x");
    fs::remove(work_ / "report.json");
    const int connections[] = {Count(devices_[0]->Output(), "connected from"),
                               Count(devices_[1]->Output(), "connected from")};
    const CliRun refused = RunFleet("--parallel 2");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("prism3.dat: changed after signing"), std::string::npos) << refused.err;
    EXPECT_FALSE(fs::exists(work_ / "report.json"));
    EXPECT_EQ(Count(devices_[0]->Output(), "connected from"), connections[0]);
    EXPECT_EQ(Count(devices_[1]->Output(), "connected from"), connections[1]);
}

TEST_F(CliFleet, ACanaryThatFailsAndAFailureLimitLeaveTheRestSkipped) {
    MakePackage();
    MakeFleet({{"first", "127.0.1", "", true}, {"second", "127.0.0.1", "", false}, {"third", "127.1", "", false}});
    environment_ += std::string(" TESSEL_PASSWORD=") + kPassword;
    CliRun run = RunFleet("--canary 1");
    EXPECT_EQ(run.status, 1) << run.out << run.err;
    EXPECT_NE(RecordOf(Report(), "second").find("\"result\": \"skipped\""), std::string::npos) << Report();
    EXPECT_NE(RecordOf(Report(), "third").find("a canary device did not succeed"), std::string::npos) << Report();
    EXPECT_EQ(Count(devices_[0]->Output(), "connected from"), 0);

    run = RunFleet("--parallel 1 --max-failures 1");
    EXPECT_EQ(run.status, 1) << run.out << run.err;
    EXPECT_NE(RecordOf(Report(), "second").find("\"result\": \"skipped\""), std::string::npos) << Report();
    EXPECT_NE(Report().find("\"skipped\": 2"), std::string::npos) << Report();
}

TEST_F(CliFleet, BadRowsAreAllListedAndNothingStarts) {
    MakePackage();
    WriteFileBytes(
        work_ / "fleet.csv",
        "name,address,console_port\nok,127.0.0.1,8002\nnone,,8002\nport,127.1,99999\ntwice,127.0.0.1,8003\n");
    const CliRun run = RunFleet(std::string("--password ") + kPassword);
    EXPECT_EQ(run.status, 2) << run.out << run.err;
    EXPECT_NE(run.err.find("line 3: no address"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("line 4: console_port \"99999\""), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("line 5: address 127.0.0.1 is listed twice (also on line 2)"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("nothing started"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(work_ / "report.json"));
}

TEST_F(CliFleet, AStopSignalLetsTheRunningDeviceFinishAndReportsTheRest) {
    MakePackage();
    MakeFleet({{"running", "127.0.0.1", "", false}, {"waiting", "127.1", "", false}});
    const fs::path out = work_ / "out.txt";
    const std::string pid = StartFleet("--parallel 1");
    ASSERT_TRUE(devices_[0]->WaitForOutput("connected from", 30000));
    // The signal goes to tessel-cli, the child of timeout.
    RunCommand("pkill -INT -P " + pid);
    const std::string report = WaitForReport();
    EXPECT_NE(RecordOf(report, "running").find("\"result\": \"succeeded\""), std::string::npos)
        << report << ReadFileBytes(out);
    EXPECT_NE(RecordOf(report, "waiting").find("\"result\": \"interrupted\""), std::string::npos) << report;
    EXPECT_NE(ReadFileBytes(out).find("stopping: no further device starts"), std::string::npos) << ReadFileBytes(out);
    EXPECT_EQ(Count(devices_[1]->Output(), "connected from"), 0);
}

TEST_F(CliFleet, DevicesRunSideBySide) {
    MakePackage();
    MakeFleet({{"left", "127.0.0.1", "", false}, {"right", "127.1", "", false}});
    environment_ += std::string(" TESSEL_PASSWORD=") + kPassword;
    std::future<CliRun> fleet = std::async(std::launch::async, [this] { return RunFleet("--parallel 2"); });
    // A two-pass update takes seconds, its restarts included: one after the other, the second device would be
    // reached only once the first had its firmware.
    const bool bothReached =
        devices_[0]->WaitForOutput("connected from", 30000) && devices_[1]->WaitForOutput("connected from", 30000);
    const int installedWhenBothReached = Count(devices_[0]->Output() + devices_[1]->Output(), "installed firmware");
    const CliRun run = fleet.get();
    ASSERT_TRUE(bothReached) << run.out << run.err;
    EXPECT_EQ(installedWhenBothReached, 0) << devices_[0]->Output() << devices_[1]->Output();
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(Count(devices_[0]->Output(), "installed firmware 01.08.00"), 1);
    EXPECT_EQ(Count(devices_[1]->Output(), "installed firmware 01.08.00"), 1);
    EXPECT_NE(run.out.find("[left] ファームウェア・アップデート終了"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("[right] ファームウェア・アップデート終了"), std::string::npos) << run.out;
}

TEST_F(CliFleet, EachDeviceKeepsAnFtpSessionOfItsOwn) {
    MakePackage();
    MakeFleet({{"left", "127.0.0.1", "", false}, {"right", "127.1", "", false}}, /*ftpLogs=*/true);
    environment_ += std::string(" TESSEL_PASSWORD=") + kPassword;
    const CliRun run = RunFleet("--parallel 2 --keep-ftp-session");
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    for (const char* name : {"left", "right"}) {
        const std::string commands = ReadFileBytes(FtpLog(name));
        EXPECT_EQ(Count(commands, "USER "), 1) << name << "\n" << commands;
        EXPECT_EQ(Count(commands, "\nSTOR "), 3) << name << "\n" << commands;
    }
}

TEST_F(CliFleet, ASecondStopSignalEndsTheRunningDevicesAtOnce) {
    MakePackage();
    MakeFleet({{"one", "127.0.0.1", "", false}, {"two", "127.1", "", false}, {"three", "127.0.1", "", false}});
    const std::string pid = StartFleet("--parallel 2");
    ASSERT_TRUE(devices_[0]->WaitForOutput("connected from", 30000));
    ASSERT_TRUE(devices_[1]->WaitForOutput("connected from", 30000));
    RunCommand("pkill -INT -P " + pid + "; sleep 0.2; pkill -INT -P " + pid);
    const std::string report = WaitForReport();
    const std::string out = ReadFileBytes(work_ / "out.txt");
    EXPECT_NE(RecordOf(report, "one").find("\"result\": \"interrupted\""), std::string::npos) << report << out;
    EXPECT_NE(RecordOf(report, "two").find("\"result\": \"interrupted\""), std::string::npos) << report << out;
    EXPECT_NE(RecordOf(report, "three").find("not started: the run was stopped"), std::string::npos) << report;
    EXPECT_NE(out.find("stopping now"), std::string::npos) << out;
    // Ended, not finished: neither device got its firmware.
    EXPECT_EQ(Count(devices_[0]->Output() + devices_[1]->Output(), "installed firmware 01.08.00"), 0);
    EXPECT_EQ(Count(devices_[2]->Output(), "connected from"), 0);
}

}  // namespace
}  // namespace tessel::test
