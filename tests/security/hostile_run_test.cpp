// Runs that a slow server, a second run or a curious user would turn against the operator.
#include <chrono>
#include <string>

#include "attack_fixture.h"

namespace tessel::test {
namespace {

class HostileRun : public AttackFixture {
protected:
    // A firmware run whose first upload crawls: the FTP server moves 2 KB/s and no console is ever reached.
    std::string SlowFirmwareArgs(const FtpServer& slow, const std::string& address, int timeoutSeconds,
                                 unsigned short consolePort = 9) const {
        return "firmware --address " + address + " --login user --password secret --ftp-port " +
               std::to_string(slow.port()) + " --console-port " + std::to_string(consolePort) + " --package " +
               Quote(package_.string()) + " --timeout " + std::to_string(timeoutSeconds);
    }
};

TEST_F(HostileRun, TheTimeoutHoldsWhileAnUploadBlocks) {
    MakePackage();
    Shipped();
    FtpServerOptions throttled;
    throttled.rate = 2000;
    const FtpServer slow(work_ / "slow", throttled);
    const auto start = std::chrono::steady_clock::now();
    const CliRun run = RunArgs(SlowFirmwareArgs(slow, "127.0.0.1", 2));
    const auto took = std::chrono::steady_clock::now() - start;
    ExpectRefusedAndNothingTouched(run);
    EXPECT_NE(run.err.find("did not end within 2 seconds"), std::string::npos) << run.err;
    // The 64 KiB image alone would take over 30 s at that rate.
    EXPECT_LT(took, std::chrono::seconds(15));
}

TEST_F(HostileRun, ASecondRunOfOneDeviceIsRefusedWhateverTheAddressSpelling) {
    MakePackage();
    Shipped();
    FtpServerOptions throttled;
    throttled.rate = 2000;
    const FtpServer slow(work_ / "slow", throttled);
    // The first run's console is the FTP server, which never prompts for a login: the run holds the device
    // until its timeout of 12 s, long enough for the others to reach the lock on a loaded machine too.
    const unsigned short console = slow.port();
    const std::string first = environment_ + " timeout 60 " + Quote(TESSEL_CLI_PROGRAM) + " " +
                              SlowFirmwareArgs(slow, "127.0.0.1", 12, console) + " >/dev/null 2>&1";
    int status = -1;
    // The others start together while the first waits, and name the device as 127.1 and as an IPv4-mapped IPv6
    // address. Each writes to a file of its own, so that their lines do not mix.
    std::string others;
    std::string outputs;
    for (const std::string spelling : {"127.1", "::ffff:127.0.0.1"}) {
        const std::string output = Quote((work_ / ("second-run-" + spelling)).string());
        others += "(" + environment_ + " timeout 60 " + Quote(TESSEL_CLI_PROGRAM) + " " +
                  SlowFirmwareArgs(slow, spelling, 6, console) + " >" + output + " 2>&1; echo \"" + spelling +
                  " $?\" >>" + output + ") & ";
        outputs += " " + output;
    }
    const std::string out = RunCommand("(" + first + ") & sleep 1; " + others + "wait; cat" + outputs, &status);
    const std::string refusal =
        "another update of 127.0.0.1 (console port " + std::to_string(console) + ") is running";
    const std::size_t firstRefusal = out.find(refusal);
    EXPECT_NE(firstRefusal, std::string::npos) << out;
    EXPECT_NE(out.find(refusal, firstRefusal + 1), std::string::npos) << out;
    EXPECT_NE(out.find("127.1 1"), std::string::npos) << out;
    EXPECT_NE(out.find("::ffff:127.0.0.1 1"), std::string::npos) << out;
    EXPECT_EQ(Listing(sentinel_), before_);
}

TEST_F(HostileRun, ThePasswordShowsNowhere) {
    MakePackage(/*moveAside=*/false);
    Shipped();
    StartDevice({"--password", "pw-7f3a9"});
    const CliRun run = Run("script", "pw-7f3a9", "--verbose");
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.err.find("pw-7f3a9"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("> ********"), std::string::npos) << run.err;
    // Nor in the arguments of the simulator's FTP server, which every user can list.
    const std::string server = RunCommand("ps -eo args | grep -F ftp_server.py | grep -F " +
                                          Quote(device_->Root().string()) + " | grep -v grep");
    EXPECT_NE(server.find("--device"), std::string::npos) << server;
    EXPECT_EQ(server.find("pw-7f3a9"), std::string::npos) << server;
}

}  // namespace
}  // namespace tessel::test
