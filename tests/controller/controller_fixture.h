#pragma once

#include <gtest/gtest.h>

#include "sim_world.h"

namespace tessel::sim {

inline constexpr std::int32_t kNoHandlerStep = 9;

inline void ForgetRecords(SimWorld& world) {
    world.dialog.calls.clear();
    world.host.boxes.clear();
    world.host.statusHistory.clear();
}

// Opens the console in the given mode and lets the connect and the device's greeting arrive while the step
// has no handler, then forgets what was recorded so far: later events reach the controller only when a test
// sends them.
inline void ConnectIn(SimWorld& world, UpdateMode mode) {
    ASSERT_TRUE(world.dialog.ValidateInput());
    world.dialog.setMode(mode);
    ASSERT_TRUE(world.dialog.OpenConsole());
    world.dialog.setStep(kNoHandlerStep);
    ASSERT_TRUE(world.settle());
    ASSERT_TRUE(world.dialog.consoleOpen());
    ForgetRecords(world);
}

// Runs events until the condition holds; false when nothing is left to run or the bound is reached.
template <typename Condition>
bool RunUntil(SimWorld& world, Condition condition, std::size_t maxEvents = 100000) {
    for (std::size_t i = 0; i < maxEvents && !condition(); ++i) {
        if (!world.scheduler.runNext()) break;
    }
    return condition();
}

class ControllerTest : public ::testing::Test {
protected:
    void connectIn(UpdateMode mode) { ConnectIn(world, mode); }
    template <typename Condition>
    bool runUntil(Condition condition) {
        return RunUntil(world, condition);
    }

    SimWorld world;
};

}  // namespace tessel::sim
