// Bounds the blocking calls of a WinInet session. WinInet accepts timeouts but does not hold them under
// every implementation (under Wine a connect to a server that never greets blocks about a minute), so
// a thread of the session's own watches each call and, when one overruns its bound, runs the expiry
// action, which closes the session's handles: the call then returns with an error.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace skiffs {

class CallWatchdog {
public:
    using Clock = std::chrono::steady_clock;

    explicit CallWatchdog(std::function<void()> onExpiry);
    ~CallWatchdog();
    CallWatchdog(const CallWatchdog&) = delete;
    CallWatchdog& operator=(const CallWatchdog&) = delete;

    // Watches the call about to start: the expiry action runs at deadline unless Disarm comes first.
    // Moving an armed deadline later costs no wake-up, so a loop of calls can arm each one cheaply.
    void Arm(Clock::time_point deadline);
    // The call has returned. True when the expiry action has run (it has then finished).
    bool Disarm();
    // Whether the expiry action has run since the watchdog was made.
    bool Expired() const;

private:
    void Watch();

    std::function<void()> onExpiry_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool armed_ = false;
    bool expired_ = false;
    bool stop_ = false;
    Clock::time_point deadline_{};
    std::thread thread_;
};

}  // namespace skiffs
