#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <chrono>

namespace tessel::qt_test {

// Runs the event loop until the condition holds or the bound has passed; returns the condition.
template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds bound = std::chrono::seconds(10)) {
    QDeadlineTimer deadline(bound.count());
    while (!condition() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    return condition();
}

}  // namespace tessel::qt_test
