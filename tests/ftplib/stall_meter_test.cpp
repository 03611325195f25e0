// The stall floor over windows of one reply limit: a drip-feed stalls, a slow modem does not, and a
// burst at the start of a window does not carry into the next one.
#include "stall_meter.h"

#include <gtest/gtest.h>

namespace skiffs {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

// A reply limit of 2 s: a window must move 128 bytes at the floor of 64 bytes per second.
CallLimits TwoSecondLimits() {
    CallLimits limits;
    limits.reply = seconds(2);
    return limits;
}

TEST(StallMeter, ADripFeedStallsAtTheEndOfItsFirstWindow) {
    const auto start = StallMeter::Clock::now();
    StallMeter meter(TwoSecondLimits(), start);
    // Four bytes per second, a byte every quarter second.
    int quarter = 1;
    for (; quarter <= 8; ++quarter) {
        const bool moving = meter.Moved(1, start + milliseconds(250 * quarter));
        if (!moving) break;
    }
    EXPECT_EQ(quarter, 8) << "stalled only when the window of 2 s had passed";
}

TEST(StallMeter, AModemAtTwoHundredFortyBytesPerSecondKeepsMoving) {
    const auto start = StallMeter::Clock::now();
    StallMeter meter(TwoSecondLimits(), start);
    for (int tenth = 1; tenth <= 100; ++tenth) {
        ASSERT_TRUE(meter.Moved(24, start + milliseconds(100 * tenth))) << "at " << tenth << " tenths";
    }
}

TEST(StallMeter, ABurstCountsForItsOwnWindowOnly) {
    const auto start = StallMeter::Clock::now();
    StallMeter meter(TwoSecondLimits(), start);
    EXPECT_TRUE(meter.Moved(1 << 20, start + milliseconds(100)));
    EXPECT_TRUE(meter.Moved(0, start + seconds(2)));
    EXPECT_TRUE(meter.Moved(127, start + milliseconds(3000)));
    EXPECT_FALSE(meter.Moved(0, start + milliseconds(4000)));
}

TEST(StallMeter, ExactlyTheFloorIsEnough) {
    const auto start = StallMeter::Clock::now();
    StallMeter meter(TwoSecondLimits(), start);
    EXPECT_TRUE(meter.Moved(128, start + seconds(2)));
    EXPECT_FALSE(meter.Moved(127, start + seconds(4)));
}

}  // namespace
}  // namespace skiffs
