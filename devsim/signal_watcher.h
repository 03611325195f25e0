#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <memory>

namespace tessel::devsim {

// Turns SIGINT and SIGTERM into a Qt signal on the event loop (the signal handler only writes to a socket pair).
class SignalWatcher : public QObject {
    Q_OBJECT

public:
    SignalWatcher();
    ~SignalWatcher() override;

signals:
    void stopRequested(int signalNumber);

private:
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace tessel::devsim
