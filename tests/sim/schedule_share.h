#pragma once

#include <cstdint>

namespace tessel::sim {

// Sanitized builds run a quarter of the seeded fault schedules: the same paths under the sanitizers, at a
// fraction of the time; the released build runs them all.
#ifdef TESSEL_SANITIZED_SCHEDULES
inline constexpr std::uint64_t kScheduleShare = 4;
#else
inline constexpr std::uint64_t kScheduleShare = 1;
#endif

}  // namespace tessel::sim
