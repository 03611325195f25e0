// The uploaders of a fleet share the transfer library's transfers: one more than it holds waits for a free one
// rather than failing, and a cancel ends the wait.
#include "platform/skiffs/transfer_gate.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>

namespace tessel {
namespace {

using namespace std::chrono_literals;

// Bounds every wait of the tests; a pass that should wait is watched for a short while only.
constexpr auto kBound = 10s;
constexpr auto kStillWaiting = 200ms;

TEST(TransferGate, OneMoreThanItHoldsWaitsUntilATransferEnds) {
    TransferGate gate(2);
    std::atomic<bool> never{false};
    auto first = std::make_unique<TransferGate::Pass>(gate, never);
    const TransferGate::Pass second(gate, never);
    ASSERT_TRUE(first->held());
    ASSERT_TRUE(second.held());
    std::promise<bool> entered;
    auto third = std::async(std::launch::async, [&] {
        const TransferGate::Pass pass(gate, never);
        entered.set_value(pass.held());
    });
    auto enteredFuture = entered.get_future();
    EXPECT_EQ(enteredFuture.wait_for(kStillWaiting), std::future_status::timeout);
    first.reset();
    ASSERT_EQ(enteredFuture.wait_for(kBound), std::future_status::ready);
    EXPECT_TRUE(enteredFuture.get());
    ASSERT_EQ(third.wait_for(kBound), std::future_status::ready);
}

TEST(TransferGate, AGiveUpEndsTheWaitWithoutAPassAndFreesNothingOfOthers) {
    TransferGate gate(1);
    std::atomic<bool> never{false};
    std::atomic<bool> cancelled{false};
    auto holder = std::make_unique<TransferGate::Pass>(gate, never);
    auto waiting = std::async(std::launch::async, [&] { return TransferGate::Pass(gate, cancelled).held(); });
    EXPECT_EQ(waiting.wait_for(kStillWaiting), std::future_status::timeout);
    cancelled = true;
    gate.wakeWaiting();
    ASSERT_EQ(waiting.wait_for(kBound), std::future_status::ready);
    EXPECT_FALSE(waiting.get());
    // The waiter that gave up took nothing: the next one waits for the holder.
    auto another = std::async(std::launch::async, [&] { return TransferGate::Pass(gate, never).held(); });
    EXPECT_EQ(another.wait_for(kStillWaiting), std::future_status::timeout);
    holder.reset();
    ASSERT_EQ(another.wait_for(kBound), std::future_status::ready);
    EXPECT_TRUE(another.get());
}

}  // namespace
}  // namespace tessel
