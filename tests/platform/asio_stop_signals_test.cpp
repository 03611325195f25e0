#include "platform/asio/asio_stop_signals.h"

#include <gtest/gtest.h>

#include <asio/io_context.hpp>
#include <chrono>
#include <csignal>
#include <vector>

namespace tessel {
namespace {

// Runs the context until the condition holds or the bound has passed; returns the condition.
template <typename Condition>
bool RunUntil(asio::io_context& context, Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition() && std::chrono::steady_clock::now() < deadline) {
        context.run_one_for(std::chrono::milliseconds(20));
    }
    return condition();
}

TEST(AsioStopSignalsTest, EverySignalIsReportedOnTheContextAndNoneEndsTheProcess) {
    asio::io_context context;
    std::vector<int> reported;
    {
        const AsioStopSignals stopSignals(context, {SIGUSR1, SIGUSR2}, [&](int number) { reported.push_back(number); });
        std::raise(SIGUSR1);
        EXPECT_TRUE(reported.empty());
        ASSERT_TRUE(RunUntil(context, [&] { return reported.size() == 1; }));
        std::raise(SIGUSR2);
        std::raise(SIGUSR1);
        ASSERT_TRUE(RunUntil(context, [&] { return reported.size() == 3; }));
    }
    EXPECT_EQ(reported, (std::vector<int>{SIGUSR1, SIGUSR2, SIGUSR1}));
    // Once the watcher is gone the signals are the process's again.
    struct sigaction action {};
    sigaction(SIGUSR1, nullptr, &action);
    EXPECT_EQ(action.sa_handler, SIG_DFL);
}

}  // namespace
}  // namespace tessel
