#pragma once

#include <cstdint>

namespace tessel {

// Console events a step waits through for its reply before it gives up.
inline constexpr std::int32_t kReplyEventLimit = 50;

}  // namespace tessel
