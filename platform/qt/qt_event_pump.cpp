#include "platform/qt/qt_event_pump.h"

#include <QCoreApplication>
#include <QThread>

namespace tessel {

void QtEventPump::pause(std::chrono::milliseconds duration) {
    QThread::msleep(static_cast<unsigned long>(duration.count()));
}

void QtEventPump::dispatchPendingEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

}  // namespace tessel
