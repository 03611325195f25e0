// The command line's bound on a whole run, held even while an upload blocks the run's thread.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <ostream>
#include <thread>

namespace tessel::cli {

// Watches the run from a thread of its own. At the limit it says so on err and calls stopWork (which cancels
// uploads and ends the run's event loop) every 100 ms; if the run still has not returned after the grace
// period, something blocks that nothing can cancel: it says so and calls giveUp.
class RunDeadline {
public:
    RunDeadline(std::chrono::seconds limit, std::chrono::seconds grace, std::function<void()> stopWork,
                std::ostream& err, std::function<void()> giveUp);
    // Ends the watch: the run has returned.
    ~RunDeadline();
    RunDeadline(const RunDeadline&) = delete;
    RunDeadline& operator=(const RunDeadline&) = delete;

    bool expired() const { return expired_; }

private:
    void watch(std::chrono::seconds limit, std::chrono::seconds grace);

    std::function<void()> stopWork_;
    std::ostream& err_;
    std::function<void()> giveUp_;
    std::atomic<bool> expired_{false};
    std::mutex mutex_;
    std::condition_variable returned_;
    bool done_ = false;
    std::thread watcher_;
};

}  // namespace tessel::cli
