// The command line's bound on a whole run, held even while an upload blocks the main thread.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace tessel::cli {

// Watches the run from a thread of its own. At the limit it says so, asks the event loop to end and calls
// stopWork (which cancels uploads) every 100 ms; if the run still has not returned after the grace period,
// something blocks that nothing can cancel, and the process ends with status 1 there and then.
class RunDeadline {
public:
    RunDeadline(std::chrono::seconds limit, std::chrono::seconds grace, std::function<void()> stopWork);
    // Ends the watch: the run has returned.
    ~RunDeadline();
    RunDeadline(const RunDeadline&) = delete;
    RunDeadline& operator=(const RunDeadline&) = delete;

    bool expired() const { return expired_; }

private:
    void watch(std::chrono::seconds limit, std::chrono::seconds grace);

    std::function<void()> stopWork_;
    std::atomic<bool> expired_{false};
    std::mutex mutex_;
    std::condition_variable returned_;
    bool done_ = false;
    std::thread watcher_;
};

}  // namespace tessel::cli
