#include "cli/run_loop.h"

#include <QEventLoop>

namespace tessel::cli {

void RunLoop::run() {
    QEventLoop loop;
    {
        const std::lock_guard lock(mutex_);
        if (stopped_) return;
        running_ = &loop;
    }
    loop.exec();
    const std::lock_guard lock(mutex_);
    running_ = nullptr;
}

void RunLoop::quit() {
    const std::lock_guard lock(mutex_);
    if (running_ != nullptr) running_->quit();
}

void RunLoop::stop() {
    const std::lock_guard lock(mutex_);
    stopped_ = true;
    // Posted to the loop's thread; Qt drops it should the loop be gone by then.
    if (running_ != nullptr) QMetaObject::invokeMethod(running_, &QEventLoop::quit, Qt::QueuedConnection);
}

}  // namespace tessel::cli
