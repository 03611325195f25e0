#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "outcome_rules.h"
#include "sim_world.h"
#include "schedule_share.h"

namespace tessel::sim {
namespace {

constexpr std::uint64_t kSchedules = 3000 / kScheduleShare;
constexpr std::size_t kMaxEventsPerRun = 200000;

enum class Procedure { Firmware, FirmwareTwice, Script, ScriptWithMove };

// One login-phase run whose device faults, credentials and procedure all come from the seed.
class ScheduledRun {
public:
    explicit ScheduledRun(std::uint64_t seed) : world_(seed), random_(seed) {
        DeviceFaults& faults = world_.device.faults;
        faults.refuseConnect = draw(0.3);
        faults.silence = draw(0.1);
        faults.drop = draw(0.05);
        faults.dropWithRead = draw(0.05);
        faults.split = draw(0.4);
        faults.garble = draw(0.2);
        faults.delay = draw(0.3);
        if (draw(1.0) < 0.1) world_.host.setControlText(kPasswordEdit, "wrong");
        if (draw(1.0) < 0.2) world_.device.banner.clear();
        if (draw(1.0) < 0.05) {
            world_.network.shortSend = [this] { return draw(1.0) < 0.05; };
        }
        procedure_ = static_cast<Procedure>(std::uniform_int_distribution<int>(0, 3)(random_));
        if (procedure_ == Procedure::FirmwareTwice) world_.device.firmwareVersion = "01.06.99";
        world_.dialog.setMoveFlag(procedure_ == Procedure::ScriptWithMove ? 1 : 0);
        world_.scheduler.afterEachEvent = [this] { checkInvariants(); };
        world_.observer.onEnded = [this](const UpdateOutcome& outcome) {
            failIf(outcomeRules_.atReport(outcome));
        };
    }

    // Returns a description of the first broken rule, or an empty text.
    std::string run() {
        if (procedure_ == Procedure::Firmware || procedure_ == Procedure::FirmwareTwice) {
            world_.dialog.OnFirmwareButton();
        } else {
            world_.dialog.OnScriptButton();
        }
        checkInvariants();
        if (!world_.settle(kMaxEventsPerRun) && violation_.empty()) violation_ = "the run did not end";
        if (violation_.empty()) checkEnd();
        return violation_;
    }

    bool succeeded() const { return world_.succeeded(); }

private:
    double draw(double limit) { return std::uniform_real_distribution<double>(0, limit)(random_); }

    void fail(const std::string& what) {
        if (violation_.empty()) {
            violation_ = what + " at " + std::to_string(world_.scheduler.now()) + " ms, step " +
                         std::to_string(world_.dialog.step()) + ", mode " +
                         std::to_string(world_.dialog.updateMode());
        }
    }

    void checkInvariants() {
        const std::int32_t step = world_.dialog.step();
        if (step < -1 || step > 14) fail("step out of range");
        if (world_.buttonsEnabled() == world_.buttonsDisabled()) fail("only one update button disabled");
        if (world_.buttonsDisabled() && world_.outcome() != nullptr) fail("buttons disabled after the update ended");
        if (step == -1 && world_.host.boxes.empty()) fail("stopped without a message");
    }

    void failIf(const std::string& brokenRule) {
        if (!brokenRule.empty()) fail(brokenRule);
    }

    void checkEnd() {
        failIf(outcomeRules_.atEnd());
        if (!world_.buttonsEnabled()) fail("buttons disabled at the end");
        if (world_.host.boxes.empty()) fail("ended without a message");
        if (world_.host.isTimerArmed(CTesselDlg::kReconnectTimerId)) fail("reconnect timer left armed");
        const bool success = succeeded();
        const int expectedRestarts = procedure_ == Procedure::FirmwareTwice || procedure_ == Procedure::ScriptWithMove
                                         ? 2
                                         : 1;
        // What the device made of the command is its own business: a device that dropped the connection
        // before reading it cannot be told from one that restarted.
        const std::string sent = world_.network.allSent();
        int restarts = 0;
        for (std::size_t at = sent.find("reboot\r"); at != std::string::npos; at = sent.find("reboot\r", at + 1)) {
            ++restarts;
        }
        if (success && restarts < expectedRestarts) fail("success reported without every restart command");
        if (success && !world_.host.boxes.empty() && world_.host.boxes.size() > 1 &&
            procedure_ != Procedure::ScriptWithMove) {
            fail("success reported after a failure message");
        }
    }

    SimWorld world_;
    std::mt19937_64 random_;
    OutcomeRules outcomeRules_{world_};
    Procedure procedure_ = Procedure::Firmware;
    std::string violation_;
};

TEST(LoginScheduleTest, EveryFaultScheduleEndsWithAMessageAndFreeButtons) {
    const std::uint64_t base = ::testing::UnitTest::GetInstance()->random_seed();
    std::uint64_t successes = 0;
    for (std::uint64_t i = 0; i < kSchedules; ++i) {
        const std::uint64_t seed = base * kSchedules + i;
        ScheduledRun run(seed);
        const std::string violation = run.run();
        ASSERT_TRUE(violation.empty()) << "seed " << seed << ": " << violation
                                       << " (replay with --gtest_random_seed=" << base << ")";
        successes += run.succeeded() ? 1 : 0;
    }
    // The schedules cover both ends: updates that get through their faults and updates that fail.
    EXPECT_GT(successes, kSchedules / 10);
    EXPECT_LT(successes, kSchedules - kSchedules / 10);
    std::printf("%llu of %llu schedules succeeded\n", static_cast<unsigned long long>(successes),
                static_cast<unsigned long long>(kSchedules));
}

}  // namespace
}  // namespace tessel::sim
