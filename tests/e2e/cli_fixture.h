// tessel-cli run as a program against tessel-devsim on loopback: the package, the device and the run.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "demo_package.h"
#include "devsim_process.h"
#include "ftp_server.h"

namespace tessel::test {

namespace fs = std::filesystem;

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string Quote(const std::string& text) { return "'" + text + "'"; }

// Every file of a folder with its bytes.
inline std::map<std::string, std::string> Snapshot(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) files[fs::relative(entry.path(), folder).string()] = ReadFileBytes(entry.path());
    }
    return files;
}

inline int Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

class CliFixture : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        work_ = MakeTempDir(std::string("cli-") + info->name());
        package_ = work_ / "package";
        // The record of moved-aside autoscripts of this test's runs only; no key this machine trusts counts; the
        // work folders of runs that a test kills go with the test's folder.
        fs::create_directories(work_ / "no-trusted-keys");
        fs::create_directories(work_ / "tmp");
        fs::permissions(work_ / "tmp", fs::perms::owner_all);
        environment_ = "XDG_STATE_HOME=" + Quote((work_ / "state").string()) +
                       " TESSEL_TRUSTED_KEYS=" + Quote((work_ / "no-trusted-keys").string()) +
                       " TMPDIR=" + Quote((work_ / "tmp").string());
    }
    void TearDown() override {
        device_.reset();
        fs::remove_all(work_);
    }

    // The sample package, which carries firmware 01.08.00; moveAside false leaves out the action MOVE.
    void MakePackage(bool moveAside = true) {
        fs::remove_all(work_ / "source");
        std::string output;
        ASSERT_TRUE(BuildDemoPackage(package_, work_ / "source", moveAside, &output)) << output;
        shipped_ = Snapshot(package_);
    }

    void StartDevice(std::vector<std::string> options) {
        options.insert(options.end(), {"--restart-time", "300", "--expansion-delay", "20"});
        device_ = std::make_unique<DevsimProcess>(options);
    }

    CliRun Run(const std::string& procedure, const std::string& password = "admin", const std::string& extra = "") {
        return RunArgs(procedure + " --address 127.0.0.1 --login admin --password " + Quote(password) + " --ftp-port " +
                       std::to_string(device_->FtpPort()) + " --console-port " +
                       std::to_string(device_->ConsolePort()) + " --package " + Quote(package_.string()) + " " + extra);
    }
    // tessel-cli with these arguments, under environment_, killed after 120 s (status 124).
    CliRun RunArgs(const std::string& args) {
        const fs::path err = work_ / "stderr.txt";
        CliRun run;
        run.out = RunCommand(
            environment_ + " timeout 120 " + Quote(TESSEL_CLI_PROGRAM) + " " + args + " 2>" + Quote(err.string()),
            &run.status);
        run.err = ReadFileBytes(err);
        return run;
    }

    // The operator's package is as it was shipped: nothing changed, nothing left behind.
    void ExpectPackageAsShipped() { EXPECT_EQ(Snapshot(package_), shipped_); }

    std::string Device(const std::string& path) const { return ReadFileBytes(device_->Root() / path); }

    fs::path work_;
    fs::path package_;
    std::map<std::string, std::string> shipped_;
    std::unique_ptr<DevsimProcess> device_;
    // Variable settings put before the command, e.g. "TMPDIR=/x".
    std::string environment_;
};

}  // namespace tessel::test
