#include "cli/run_deadline.h"

namespace tessel::cli {

RunDeadline::RunDeadline(std::chrono::seconds limit, std::chrono::seconds grace, std::function<void()> stopWork,
                         std::ostream& err, std::function<void()> giveUp)
    : stopWork_(std::move(stopWork)),
      err_(err),
      giveUp_(std::move(giveUp)),
      watcher_([this, limit, grace] { watch(limit, grace); }) {}

RunDeadline::~RunDeadline() {
    {
        std::lock_guard lock(mutex_);
        done_ = true;
    }
    returned_.notify_one();
    watcher_.join();
}

void RunDeadline::watch(std::chrono::seconds limit, std::chrono::seconds grace) {
    std::unique_lock lock(mutex_);
    if (returned_.wait_for(lock, limit, [this] { return done_; })) return;
    expired_ = true;
    err_ << "tessel-cli: the update did not end within " << limit.count() << " seconds" << std::endl;
    const auto giveUp = std::chrono::steady_clock::now() + grace;
    do {
        // Again and again: an upload that starts after the first call is cancelled too.
        stopWork_();
        if (returned_.wait_for(lock, std::chrono::milliseconds(100), [this] { return done_; })) return;
    } while (std::chrono::steady_clock::now() < giveUp);
    err_ << "tessel-cli: an operation did not return " << grace.count() << " seconds after that; stopping"
         << std::endl;
    giveUp_();
}

}  // namespace tessel::cli
