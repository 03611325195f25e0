#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <string>

#include "outcome_rules.h"
#include "sim_world.h"
#include "schedule_share.h"

namespace tessel::sim {
namespace {

// 10,000 whole updates in all, in shards that run side by side.
constexpr std::uint64_t kShards = 8;
constexpr std::uint64_t kSchedules = 1250 / kScheduleShare;
constexpr std::size_t kMaxEventsPerRun = 200000;

// One whole firmware or script update whose device, upload and package faults all come from the seed. About a
// quarter of the runs have no fault at all: those must succeed.
class FaultScheduleRun {
public:
    explicit FaultScheduleRun(std::uint64_t seed) : world_(seed), random_(seed) {
        firmware_ = draw(1.0) < 0.5;
        if (draw(1.0) < 0.3) world_.device.firmwareVersion = "01.06.99";
        if (draw(1.0) < 0.5) world_.dialog.setMoveFlag(1);
        faultFree_ = draw(1.0) < 0.25;
        if (!faultFree_) drawFaults();
        for (const auto& [name, bytes] : world_.package.snapshot()) shippedSizes_[name] = bytes.size();
        shipped_ = world_.package.snapshot();
        world_.scheduler.afterEachEvent = [this] { checkInvariants(); };
        world_.observer.onEnded = [this](const UpdateOutcome& outcome) {
            failIf(outcomeRules_.atReport(outcome));
        };
        world_.uploader.duringSend = [this](const UploadRequest&) {
            checkShippedFiles();
            checkInvariants();
        };
    }

    // A description of the first broken rule, or an empty text.
    std::string run() {
        if (firmware_) {
            world_.dialog.OnFirmwareButton();
        } else {
            world_.dialog.OnScriptButton();
        }
        checkInvariants();
        if (!world_.settle(kMaxEventsPerRun)) fail("the run did not end");
        if (violation_.empty()) checkEnd();
        return violation_;
    }

    // Device faults that struck and upload calls answered with an error code.
    long faultsInjected() const { return world_.device.faultsInjected() + failedUploads_; }

    bool succeeded() const { return world_.succeeded(); }

private:
    double draw(double limit) { return std::uniform_real_distribution<double>(0, limit)(random_); }

    void drawFaults() {
        DeviceFaults& faults = world_.device.faults;
        faults.refuseConnect = draw(0.3);
        faults.silence = draw(0.05);
        faults.drop = draw(0.03);
        faults.dropWithRead = draw(0.03);
        faults.split = draw(0.3);
        faults.garble = draw(0.1);
        faults.delay = draw(0.2);
        faults.merge = draw(0.2);
        faults.wrongReply = draw(0.05);
        // A device that takes long to come back, up to two minutes.
        if (draw(1.0) < 0.2) world_.device.restartTime = static_cast<Millis>(draw(120000));
        if (draw(1.0) < 0.1) world_.device.sysupFails = true;
        const double uploadFailure = draw(0.2);
        world_.uploader.answer = [this, uploadFailure](const UploadRequest& request) {
            if (draw(1.0) >= uploadFailure)
                return std::filesystem::is_regular_file(request.localPath) ? 0 : -3;
            ++failedUploads_;
            return -std::uniform_int_distribution<int>(1, 8)(random_);
        };
        if (draw(1.0) < 0.05) world_.package.remove("a2.dat");
        if (draw(1.0) < 0.05) {
            std::vector<PackageEntry> entries = world_.package.entries;
            entries[1].plainName = draw(1.0) < 0.5 ? "UpDateMng.txt" : "a3.dat";
            world_.package.setEntries(entries);
        }
    }

    void fail(const std::string& what) {
        if (!violation_.empty()) return;
        violation_ = what + " at " + std::to_string(world_.scheduler.now()) + " ms, step " +
                     std::to_string(world_.dialog.step()) + ", mode " +
                     std::to_string(world_.dialog.updateMode());
    }

    void checkInvariants() {
        if (world_.buttonsEnabled() == world_.buttonsDisabled()) fail("only one update button disabled");
        if (world_.buttonsDisabled() && world_.outcome() != nullptr) fail("buttons disabled after the update ended");
        if (world_.dialog.step() == CTesselDlg::kStepStopped && world_.host.boxes.empty()) {
            fail("stopped without a message");
        }
        // Plain copies and the generated script go to the work folder: the package folder never changes.
        std::map<std::string, std::uintmax_t> sizes;
        for (const auto& entry : std::filesystem::directory_iterator(world_.package.dir())) {
            sizes[entry.path().filename().string()] = entry.file_size();
        }
        if (sizes != shippedSizes_) fail("the package folder changed");
    }

    void checkShippedFiles() {
        for (const auto& [name, bytes] : shipped_) {
            if (world_.package.read(name) != bytes) fail("the shipped file " + name + " changed");
        }
    }

    void failIf(const std::string& brokenRule) {
        if (!brokenRule.empty()) fail(brokenRule);
    }

    void checkEnd() {
        failIf(outcomeRules_.atEnd());
        if (!world_.buttonsEnabled()) fail("buttons disabled at the end");
        if (world_.host.boxes.empty()) fail("ended without a message");
        if (world_.host.isTimerArmed(CTesselDlg::kReconnectTimerId)) fail("reconnect timer left armed");
        if (world_.package.snapshot() != shipped_) fail("the package differs from what was shipped");
        if (faultFree_ && (!succeeded() || world_.host.boxes.size() != 1)) {
            fail("an update without faults was not reported as the only result");
        }
    }

    SimWorld world_;
    std::mt19937_64 random_;
    OutcomeRules outcomeRules_{world_};
    bool firmware_ = true;
    bool faultFree_ = false;
    long failedUploads_ = 0;
    std::map<std::string, std::uintmax_t> shippedSizes_;
    std::map<std::string, std::string> shipped_;
    std::string violation_;
};

class UpdateFaultScheduleTest : public ::testing::TestWithParam<std::uint64_t> {};

TEST_P(UpdateFaultScheduleTest, EveryScheduleEndsCleanlyAndEveryFaultFreeUpdateSucceeds) {
    // A new range of schedules every run, unless --gtest_random_seed names one.
    const std::uint64_t flag = ::testing::UnitTest::GetInstance()->random_seed();
    const std::uint64_t base = flag * kShards + GetParam();
    std::printf("seed base %llu (replay with --gtest_random_seed=%llu --gtest_filter=*/%llu)\n",
                static_cast<unsigned long long>(base), static_cast<unsigned long long>(flag),
                static_cast<unsigned long long>(GetParam()));
    std::uint64_t successes = 0;
    long faults = 0;
    for (std::uint64_t i = 0; i < kSchedules; ++i) {
        const std::uint64_t seed = base * kSchedules + i;
        FaultScheduleRun run(seed);
        const std::string violation = run.run();
        faults += run.faultsInjected();
        ASSERT_TRUE(violation.empty())
            << "seed " << seed << ": " << violation << " (replay with --gtest_random_seed=" << flag
            << " --gtest_filter=*/" << GetParam() << ")";
        successes += run.succeeded() ? 1 : 0;
    }
    EXPECT_GT(successes, kSchedules / 5);
    EXPECT_LT(successes, kSchedules - kSchedules / 10);
    std::printf("%llu of %llu schedules succeeded, %ld faults injected\n", static_cast<unsigned long long>(successes),
                static_cast<unsigned long long>(kSchedules), faults);
}

INSTANTIATE_TEST_SUITE_P(Shards, UpdateFaultScheduleTest, ::testing::Range<std::uint64_t>(0, kShards));

}  // namespace
}  // namespace tessel::sim
