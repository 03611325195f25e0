#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "sim_world.h"

namespace tessel::sim {

using Texts = std::vector<std::string>;

// A simulated world whose package is remembered as shipped, to show that no procedure changes it.
class ProcedureTest : public ::testing::Test {
protected:
    void SetUp() override { shipped = world.package.snapshot(); }

    void runToEnd() { ASSERT_TRUE(world.settle()); }
    Texts boxTexts() const {
        Texts texts;
        for (const RecordedBox& box : world.host.boxes) texts.push_back(box.text);
        return texts;
    }
    const Texts& statuses() const { return world.host.statusHistory; }
    // Everything the dialog sent on the console, over all connections.
    std::string sent() const { return world.network.allSent(); }
    void expectPackageAsShipped() const { EXPECT_EQ(world.package.snapshot(), shipped); }
    // A console block as the handler of the current step sees it.
    void receive(std::string_view block) {
        world.dialog.setReceived(block);
        world.dialog.OnConsoleEvent();
    }

    SimWorld world;
    std::map<std::string, std::string> shipped;
};

}  // namespace tessel::sim
