#pragma once

#include <cstdint>

namespace tessel::sim {

// Sanitized builds and the Windows build under Wine run a quarter of the seeded fault schedules: the same
// paths, at a fraction of the time; the released build runs them all.
#ifdef TESSEL_QUARTER_OF_SCHEDULES
inline constexpr std::uint64_t kScheduleShare = 4;
#else
inline constexpr std::uint64_t kScheduleShare = 1;
#endif

}  // namespace tessel::sim
