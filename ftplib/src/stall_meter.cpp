#include "stall_meter.h"

namespace skiffs {

StallMeter::StallMeter(const CallLimits& limits, Clock::time_point start)
    : window_(limits.reply),
      floorPerWindow_(static_cast<std::uint64_t>(limits.stallFloorBytesPerSecond) *
                      static_cast<std::uint64_t>(limits.reply.count())),
      windowStart_(start) {}

bool StallMeter::Moved(std::uint64_t bytes, Clock::time_point now) {
    inWindow_ += bytes;
    if (now - windowStart_ < window_) return true;
    const bool enough = inWindow_ >= floorPerWindow_;
    windowStart_ = now;
    inWindow_ = 0;
    return enough;
}

}  // namespace skiffs
