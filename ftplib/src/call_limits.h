// The time bounds of a call, so that a dead, slow or hostile server ends it with a code. Each bound
// is stated in the public header; the environment may change the two limits in seconds.
#pragma once

#include <chrono>
#include <cstdint>

namespace skiffs {

struct CallLimits {
    // Connect, and every server reply but the one that confirms a stored file (SKIFFS_TIMEOUT).
    std::chrono::seconds reply{30};
    // The reply that confirms a stored file: a device may first write the file to flash
    // (SKIFFS_FINAL_REPLY_TIMEOUT).
    std::chrono::seconds finalReply{300};
    // A data connection that moves fewer than this many bytes per second, averaged over a whole reply
    // limit, has stalled: a modem of 2400 bit/s (some 240 bytes/s) passes, a drip-feed does not.
    long stallFloorBytesPerSecond = 64;
};

// The limits as the environment sets them; a value that is not a positive number of seconds is
// ignored.
CallLimits CurrentCallLimits();

// Replies a call may wait for: greeting, login, directory checks, listing and transfer commands,
// each with its own limit.
inline constexpr int kRepliesPerCall = 16;

// The bound of a whole call that moves bytes over its data connection: every reply within its limit,
// the data at the stall floor and one more stall window.
std::chrono::milliseconds CallBound(const CallLimits& limits, std::uint64_t bytes, bool upload);

}  // namespace skiffs
