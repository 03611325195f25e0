#pragma once

#include "platform/event_pump.h"

namespace asio {
class io_context;
}

namespace tessel {

// The io_context of the calling thread as its message loop.
class AsioEventPump final : public EventPump {
public:
    explicit AsioEventPump(asio::io_context& context) : context_(context) {}
    void pause(std::chrono::milliseconds duration) override;
    void dispatchPendingEvents() override;

private:
    asio::io_context& context_;
};

}  // namespace tessel
