#include "cli/run_deadline.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <cstdlib>
#include <iostream>

namespace tessel::cli {

RunDeadline::RunDeadline(std::chrono::seconds limit, std::chrono::seconds grace, std::function<void()> stopWork)
    : stopWork_(std::move(stopWork)), watcher_([this, limit, grace] { watch(limit, grace); }) {}

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
    std::cerr << "tessel-cli: the update did not end within " << limit.count() << " seconds" << std::endl;
    // Posted: the loop ends as soon as the main thread is back in it.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { QCoreApplication::exit(1); }, Qt::QueuedConnection);
    const auto giveUp = std::chrono::steady_clock::now() + grace;
    do {
        // Again and again: an upload that starts after the first call is cancelled too.
        stopWork_();
        if (returned_.wait_for(lock, std::chrono::milliseconds(100), [this] { return done_; })) return;
    } while (std::chrono::steady_clock::now() < giveUp);
    std::cerr << "tessel-cli: an operation did not return " << grace.count() << " seconds after that; stopping"
              << std::endl;
    std::_Exit(1);
}

}  // namespace tessel::cli
