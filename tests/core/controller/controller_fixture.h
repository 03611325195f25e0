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

inline void ConnectIn(SimWorld& world, UpdateMode mode) { ASSERT_TRUE(world.connectIn(mode)); }

template <typename Condition>
bool RunUntil(SimWorld& world, Condition condition) {
    return world.runUntil(condition);
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
