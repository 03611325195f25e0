// Process signals as Qt signals on the event loop, so that a program can end in order.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <initializer_list>
#include <memory>
#include <vector>

namespace tessel {

// While it lives, the given signals do not end the process: each is reported on the event loop (the handler
// only writes the signal's number to a socket pair). One notifier per process.
class QtSignalNotifier : public QObject {
    Q_OBJECT

public:
    explicit QtSignalNotifier(std::initializer_list<int> signalNumbers);
    ~QtSignalNotifier() override;

signals:
    void signalled(int signalNumber);

private:
    std::unique_ptr<QSocketNotifier> notifier_;
    std::vector<int> signalNumbers_;
};

}  // namespace tessel
