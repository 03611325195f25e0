#include "platform/qt/qt_window_timers.h"

#include <QTimer>

namespace tessel {

QtWindowTimers::QtWindowTimers() = default;

QtWindowTimers::~QtWindowTimers() = default;

void QtWindowTimers::setTimer(int timerId, std::chrono::milliseconds period, Expiry onExpiry) {
    Entry& entry = timers_[timerId];
    if (!entry.timer) {
        entry.timer = std::make_unique<QTimer>();
        QObject::connect(entry.timer.get(), &QTimer::timeout, entry.timer.get(), [this, timerId] {
            // The action may arm or kill this very timer: run a copy.
            const Expiry action = timers_[timerId].onExpiry;
            if (action) action(timerId);
        });
    }
    entry.onExpiry = std::move(onExpiry);
    entry.timer->start(period);
}

void QtWindowTimers::killTimer(int timerId) {
    const auto found = timers_.find(timerId);
    if (found != timers_.end()) found->second.timer->stop();
}

bool QtWindowTimers::isArmed(int timerId) const {
    const auto found = timers_.find(timerId);
    return found != timers_.end() && found->second.timer->isActive();
}

}  // namespace tessel
