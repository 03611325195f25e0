#pragma once

#include <map>
#include <memory>

#include "platform/window_timers.h"

class QTimer;

namespace tessel {

// One periodic QTimer per id.
class QtWindowTimers final : public WindowTimers {
public:
    QtWindowTimers();
    ~QtWindowTimers() override;
    QtWindowTimers(const QtWindowTimers&) = delete;
    QtWindowTimers& operator=(const QtWindowTimers&) = delete;

    void setTimer(int timerId, std::chrono::milliseconds period, Expiry onExpiry) override;
    void killTimer(int timerId) override;
    bool isArmed(int timerId) const;

private:
    struct Entry {
        std::unique_ptr<QTimer> timer;
        Expiry onExpiry;
    };
    std::map<int, Entry> timers_;
};

}  // namespace tessel
