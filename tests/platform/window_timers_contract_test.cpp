// The window timers' and the event pump's contract, held by every implementation on its own event loop.
#include <gtest/gtest.h>

#include <chrono>

#include "platform_drivers.h"

namespace tessel::platform_test {
namespace {

using namespace std::chrono_literals;

template <typename Driver>
class WindowTimersContract : public ::testing::Test {
protected:
    Driver driver_;
};

template <typename Driver>
class EventPumpContract : public ::testing::Test {
protected:
    Driver driver_;
};

TYPED_TEST_SUITE(WindowTimersContract, PlatformDrivers);
TYPED_TEST_SUITE(EventPumpContract, PlatformDrivers);

TYPED_TEST(WindowTimersContract, ATimerRepeatsUntilItIsKilled) {
    auto timers = this->driver_.makeTimers();
    int expiries = 0;
    timers->setTimer(1000, 5ms, [&](int id) {
        EXPECT_EQ(id, 1000);
        if (++expiries == 3) timers->killTimer(id);
    });
    ASSERT_TRUE(this->driver_.waitFor([&] { return expiries == 3; }));
    EXPECT_FALSE(timers->isArmed(1000));

    // A later timer has run out; a killed timer would not have fired in between.
    bool marker = false;
    timers->setTimer(2, 50ms, [&](int id) {
        marker = true;
        timers->killTimer(id);
    });
    ASSERT_TRUE(this->driver_.waitFor([&] { return marker; }));
    EXPECT_EQ(expiries, 3);
}

TYPED_TEST(WindowTimersContract, ArmingAgainReplacesPeriodAndAction) {
    auto timers = this->driver_.makeTimers();
    bool first = false;
    bool second = false;
    timers->setTimer(1001, 1h, [&](int) { first = true; });
    timers->setTimer(1001, 10ms, [&](int id) {
        second = true;
        timers->killTimer(id);
    });
    ASSERT_TRUE(this->driver_.waitFor([&] { return second; }));
    EXPECT_FALSE(first);
}

TYPED_TEST(WindowTimersContract, KillingAnUnknownOrStoppedTimerDoesNothing) {
    auto timers = this->driver_.makeTimers();
    timers->killTimer(5);
    timers->setTimer(5, 1h, [](int) {});
    EXPECT_TRUE(timers->isArmed(5));
    timers->killTimer(5);
    timers->killTimer(5);
    EXPECT_FALSE(timers->isArmed(5));
}

TYPED_TEST(EventPumpContract, DispatchRunsWaitingEventsAndPauseDoesNot) {
    auto pump = this->driver_.makePump();
    bool ran = false;
    this->driver_.post([&] { ran = true; });
    pump->pause(1ms);
    EXPECT_FALSE(ran);
    pump->dispatchPendingEvents();
    EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace tessel::platform_test
