#include "platform/asio/asio_window_timers.h"

#include <algorithm>
#include <asio/io_context.hpp>
#include <asio/steady_timer.hpp>

namespace tessel {

struct AsioWindowTimers::Entry {
    explicit Entry(asio::io_context& context) : timer(context) {}

    // Each arming has a number of its own: an expiry already queued for an earlier arming is dropped.
    void arm(std::chrono::steady_clock::time_point expiry) {
        timer.expires_at(expiry);
        timer.async_wait([weak = std::weak_ptr<Entry>(self), generation = generation](const std::error_code& error) {
            const std::shared_ptr<Entry> entry = weak.lock();
            if (error || !entry || entry->generation != generation) return;
            // The next period counts from this expiry, or from now when the thread was held past it.
            entry->arm(std::max(entry->timer.expiry() + entry->period, std::chrono::steady_clock::now()));
            // The action may arm or kill this very timer: run a copy.
            const Expiry action = entry->onExpiry;
            if (action) action(entry->id);
        });
    }

    asio::steady_timer timer;
    std::weak_ptr<Entry> self;
    int id = 0;
    std::chrono::milliseconds period{0};
    Expiry onExpiry;
    unsigned generation = 0;
    bool armed = false;
};

AsioWindowTimers::AsioWindowTimers(asio::io_context& context) : context_(context) {}

AsioWindowTimers::~AsioWindowTimers() {
    for (auto& [id, entry] : timers_) entry->timer.cancel();
}

void AsioWindowTimers::setTimer(int timerId, std::chrono::milliseconds period, Expiry onExpiry) {
    std::shared_ptr<Entry>& entry = timers_[timerId];
    if (!entry) {
        entry = std::make_shared<Entry>(context_);
        entry->self = entry;
        entry->id = timerId;
    }
    ++entry->generation;
    entry->period = period;
    entry->onExpiry = std::move(onExpiry);
    entry->armed = true;
    entry->timer.cancel();
    entry->arm(std::chrono::steady_clock::now() + period);
}

void AsioWindowTimers::killTimer(int timerId) {
    const auto found = timers_.find(timerId);
    if (found == timers_.end()) return;
    ++found->second->generation;
    found->second->armed = false;
    found->second->timer.cancel();
}

bool AsioWindowTimers::isArmed(int timerId) const {
    const auto found = timers_.find(timerId);
    return found != timers_.end() && found->second->armed;
}

}  // namespace tessel
