#include "call_watchdog.h"

#include <utility>

namespace skiffs {

CallWatchdog::CallWatchdog(std::function<void()> onExpiry)
    : onExpiry_(std::move(onExpiry)), thread_([this] { Watch(); }) {}

CallWatchdog::~CallWatchdog() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_one();
    thread_.join();
}

void CallWatchdog::Arm(Clock::time_point deadline) {
    bool wake = false;
    {
        std::lock_guard lock(mutex_);
        // The watcher sleeps until the earlier deadline and then finds the later one.
        wake = !armed_ || deadline < deadline_;
        armed_ = true;
        deadline_ = deadline;
    }
    if (wake) changed_.notify_one();
}

bool CallWatchdog::Disarm() {
    // The action runs under the lock: once this returns, it is not running.
    std::lock_guard lock(mutex_);
    armed_ = false;
    return expired_;
}

bool CallWatchdog::Expired() const {
    std::lock_guard lock(mutex_);
    return expired_;
}

void CallWatchdog::Watch() {
    std::unique_lock lock(mutex_);
    while (!stop_) {
        if (!armed_ || expired_) {
            changed_.wait(lock);
        } else if (Clock::now() >= deadline_) {
            expired_ = true;
            onExpiry_();
        } else {
            changed_.wait_until(lock, deadline_);
        }
    }
}

}  // namespace skiffs
