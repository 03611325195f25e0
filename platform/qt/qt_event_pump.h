#pragma once

#include "platform/event_pump.h"

namespace tessel {

// The Qt event loop of the calling thread.
class QtEventPump final : public EventPump {
public:
    void pause(std::chrono::milliseconds duration) override;
    void dispatchPendingEvents() override;
};

}  // namespace tessel
