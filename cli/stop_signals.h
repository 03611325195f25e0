// SIGINT and SIGTERM as Qt signals on the event loop, for runs that must end in order.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace tessel::cli {

// While it lives, SIGINT and SIGTERM do not end the process: each is reported, counted, on the event loop
// (the handler only writes to a socket pair).
class StopSignals : public QObject {
    Q_OBJECT

public:
    StopSignals();
    ~StopSignals() override;

signals:
    void stopRequested(int count);

private:
    std::unique_ptr<QSocketNotifier> notifier_;
    int count_ = 0;
};

}  // namespace tessel::cli
