#include "cli/run_loop.h"

#include <asio/executor_work_guard.hpp>
#include <asio/io_context.hpp>
#include <asio/post.hpp>

namespace tessel::cli {

RunLoop::RunLoop() : context_(std::make_unique<asio::io_context>(1)) {}

RunLoop::~RunLoop() = default;

bool RunLoop::ended() {
    const std::lock_guard lock(mutex_);
    return quit_ || stopped_;
}

void RunLoop::run() {
    {
        const std::lock_guard lock(mutex_);
        if (stopped_) return;
        running_ = true;
        quit_ = false;
    }
    // The loop waits for events even while no socket or timer is pending.
    const auto work = asio::make_work_guard(*context_);
    if (context_->stopped()) context_->restart();
    // One handler at a time: quit() from a handler ends the loop once that handler returns, as a nested
    // dispatch of the event pump leaves the context running.
    while (!ended()) context_->run_one();
    const std::lock_guard lock(mutex_);
    running_ = false;
}

void RunLoop::quit() {
    const std::lock_guard lock(mutex_);
    if (running_) quit_ = true;
}

void RunLoop::stop() {
    const std::lock_guard lock(mutex_);
    stopped_ = true;
    // Wakes a run_one() that waits for an event.
    if (running_) asio::post(*context_, [] {});
}

}  // namespace tessel::cli
