#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace tessel::devsim {

// Turns SIGINT and SIGTERM (stop) and SIGUSR1 (list the device's files) into Qt signals on the event loop (the
// signal handler only writes to a socket pair).
class SignalWatcher : public QObject {
    Q_OBJECT

public:
    SignalWatcher();
    ~SignalWatcher() override;

signals:
    void stopRequested(int signalNumber);
    void listingRequested();

private:
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace tessel::devsim
