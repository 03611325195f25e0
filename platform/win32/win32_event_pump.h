#pragma once

#include "platform/event_pump.h"

namespace tessel {

// The calling thread's message queue.
class Win32EventPump final : public EventPump {
public:
    void pause(std::chrono::milliseconds duration) override;
    // Peeks, translates and dispatches every waiting message. A quit message ends it and stays for the loop
    // that waits for it.
    void dispatchPendingEvents() override;
};

}  // namespace tessel
