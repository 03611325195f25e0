#pragma once

#include <chrono>

namespace tessel {

// The thread's own message loop as the core sees it.
class EventPump {
public:
    virtual ~EventPump() = default;
    // Blocks the thread; nothing is dispatched meanwhile, so events that become due wait until it returns.
    virtual void pause(std::chrono::milliseconds duration) = 0;
    // Handles every event that is already waiting, then returns.
    virtual void dispatchPendingEvents() = 0;
};

}  // namespace tessel
