// Whether a data connection still moves at the stall floor, for a backend whose reads return as soon
// as any bytes arrive (WinInet): a server that drips a byte at a time answers every read in time and
// would hold the call until its whole bound.
#pragma once

#include <chrono>
#include <cstdint>

#include "call_limits.h"

namespace skiffs {

class StallMeter {
public:
    using Clock = std::chrono::steady_clock;

    // Windows of one reply limit, the first from start.
    StallMeter(const CallLimits& limits, Clock::time_point start);

    // Counts bytes that arrived by now; false once a whole window has moved fewer bytes than the
    // stall floor asks for it.
    bool Moved(std::uint64_t bytes, Clock::time_point now);

private:
    std::chrono::milliseconds window_;
    std::uint64_t floorPerWindow_;
    Clock::time_point windowStart_;
    std::uint64_t inWindow_ = 0;
};

}  // namespace skiffs
