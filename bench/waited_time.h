// The timers and message loop of an update, counting the time it spends waiting on purpose: its pauses
// and the timers that ran to expiry.
#pragma once

#include <algorithm>
#include <chrono>

#include "platform/event_pump.h"
#include "platform/asio/asio_event_pump.h"
#include "platform/asio/asio_window_timers.h"
#include "platform/window_timers.h"

namespace tessel::bench {

class WaitedTime final : public WindowTimers, public EventPump {
public:
    explicit WaitedTime(asio::io_context& context) : timers_(context), pump_(context) {}
    void setTimer(int timerId, std::chrono::milliseconds period, Expiry onExpiry) override {
        // A timer may fire a little early (a coarse clock): the time it really ran counts, up to its
        // period (an expiry held back by a pause is no longer waiting on the timer).
        timers_.setTimer(timerId, period,
                         [this, period, armed = std::chrono::steady_clock::now(), action = std::move(onExpiry)](
                             int id) mutable {
                             const auto now = std::chrono::steady_clock::now();
                             waited_ += std::min(
                                 period, std::chrono::duration_cast<std::chrono::milliseconds>(now - armed));
                             armed = now;
                             action(id);
                         });
    }
    void killTimer(int timerId) override { timers_.killTimer(timerId); }
    void pause(std::chrono::milliseconds duration) override {
        waited_ += duration;
        pump_.pause(duration);
    }
    void dispatchPendingEvents() override { pump_.dispatchPendingEvents(); }

    std::chrono::milliseconds waited() const { return waited_; }

private:
    std::chrono::milliseconds waited_{0};
    AsioWindowTimers timers_;
    AsioEventPump pump_;
};

}  // namespace tessel::bench
