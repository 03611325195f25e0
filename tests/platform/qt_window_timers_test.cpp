#include "platform/qt/qt_window_timers.h"

#include <gtest/gtest.h>

#include <chrono>

#include "platform/qt/qt_event_pump.h"
#include "qt_test_support.h"

namespace tessel {
namespace {

using namespace std::chrono_literals;
using qt_test::WaitFor;

TEST(QtWindowTimersTest, ATimerRepeatsUntilItIsKilled) {
    QtWindowTimers timers;
    int expiries = 0;
    timers.setTimer(1000, 5ms, [&](int id) {
        EXPECT_EQ(id, 1000);
        if (++expiries == 3) timers.killTimer(id);
    });
    ASSERT_TRUE(WaitFor([&] { return expiries == 3; }));
    EXPECT_FALSE(timers.isArmed(1000));

    // A later timer has run out; a killed timer would not have fired in between.
    bool marker = false;
    timers.setTimer(2, 50ms, [&](int id) {
        marker = true;
        timers.killTimer(id);
    });
    ASSERT_TRUE(WaitFor([&] { return marker; }));
    EXPECT_EQ(expiries, 3);
}

TEST(QtWindowTimersTest, ArmingAgainReplacesPeriodAndAction) {
    QtWindowTimers timers;
    bool first = false;
    bool second = false;
    timers.setTimer(1001, 1h, [&](int) { first = true; });
    timers.setTimer(1001, 10ms, [&](int id) {
        second = true;
        timers.killTimer(id);
    });
    ASSERT_TRUE(WaitFor([&] { return second; }));
    EXPECT_FALSE(first);
}

TEST(QtWindowTimersTest, KillingAnUnknownOrStoppedTimerDoesNothing) {
    QtWindowTimers timers;
    timers.killTimer(5);
    timers.setTimer(5, 1h, [](int) {});
    EXPECT_TRUE(timers.isArmed(5));
    timers.killTimer(5);
    timers.killTimer(5);
    EXPECT_FALSE(timers.isArmed(5));
}

TEST(QtEventPumpTest, DispatchRunsWaitingEventsAndPauseDoesNot) {
    QtEventPump pump;
    bool ran = false;
    QMetaObject::invokeMethod(QCoreApplication::instance(), [&] { ran = true; }, Qt::QueuedConnection);
    pump.pause(1ms);
    EXPECT_FALSE(ran);
    pump.dispatchPendingEvents();
    EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace tessel
