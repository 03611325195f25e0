#pragma once

#include <map>
#include <memory>

#include "platform/window_timers.h"

namespace asio {
class io_context;
}

namespace tessel {

// One periodic asio::steady_timer per id; expiries run on the thread that runs the context.
class AsioWindowTimers final : public WindowTimers {
public:
    explicit AsioWindowTimers(asio::io_context& context);
    ~AsioWindowTimers() override;
    AsioWindowTimers(const AsioWindowTimers&) = delete;
    AsioWindowTimers& operator=(const AsioWindowTimers&) = delete;

    void setTimer(int timerId, std::chrono::milliseconds period, Expiry onExpiry) override;
    void killTimer(int timerId) override;
    bool isArmed(int timerId) const;

    // One id's timer, shared with its queued expiry.
    struct Entry;

private:
    asio::io_context& context_;
    std::map<int, std::shared_ptr<Entry>> timers_;
};

}  // namespace tessel
