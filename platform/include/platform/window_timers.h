#pragma once

#include <chrono>
#include <functional>

namespace tessel {

// Periodic timers identified by a number, as a window offers them. Arming an id that is already armed
// restarts its period and replaces its expiry action.
class WindowTimers {
public:
    using Expiry = std::function<void(int timerId)>;

    virtual ~WindowTimers() = default;
    virtual void setTimer(int timerId, std::chrono::milliseconds period, Expiry onExpiry) = 0;
    virtual void killTimer(int timerId) = 0;
};

}  // namespace tessel
