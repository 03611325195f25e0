#include "call_limits.h"

#include <cstdlib>

namespace skiffs {

namespace {

std::chrono::seconds SecondsFrom(const char* name, std::chrono::seconds fallback) {
    const char* text = std::getenv(name);
    if (text == nullptr) return fallback;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    return (end != text && *end == '\0' && value > 0) ? std::chrono::seconds(value) : fallback;
}

}  // namespace

CallLimits CurrentCallLimits() {
    CallLimits limits;
    limits.reply = SecondsFrom("SKIFFS_TIMEOUT", limits.reply);
    limits.finalReply = SecondsFrom("SKIFFS_FINAL_REPLY_TIMEOUT", limits.finalReply);
    return limits;
}

std::chrono::milliseconds CallBound(const CallLimits& limits, std::uint64_t bytes, bool upload) {
    using std::chrono::milliseconds;
    const milliseconds replies = kRepliesPerCall * limits.reply + (upload ? limits.finalReply : limits.reply);
    const milliseconds data(bytes * 1000 / static_cast<std::uint64_t>(limits.stallFloorBytesPerSecond));
    return replies + data + limits.reply;
}

}  // namespace skiffs
