#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialog_host.h"
#include "platform/event_pump.h"
#include "platform/window_timers.h"
#include "sim_scheduler.h"

namespace tessel::sim {

struct RecordedBox {
    std::string text;
    MessageIcon icon;
    MessageButtons buttons;
};

// A dialog window with its timers and message loop on the virtual clock, recording what the operator would
// see.
class RecordingHost final : public DialogHost, public WindowTimers, public EventPump {
public:
    explicit RecordingHost(SimScheduler& scheduler) : scheduler_(scheduler) {}

    void setControlText(int controlId, std::string_view text) override;
    std::string controlText(int controlId) const override;
    void enableControl(int controlId, bool enabled) override;
    void setCaption(std::string_view text) override { caption = text; }
    MessageResult messageBox(std::string_view text, MessageIcon icon, MessageButtons buttons) override;
    void repaint() override { ++repaints; }
    void endDialog(int result) override { endResult = result; }
    void setTimer(int timerId, std::chrono::milliseconds period, Expiry onExpiry) override;
    void killTimer(int timerId) override;
    void pause(std::chrono::milliseconds duration) override;
    void dispatchPendingEvents() override { scheduler_.runUntil(scheduler_.now()); }

    bool isEnabled(int controlId) const;
    bool isTimerArmed(int timerId) const;
    // Virtual time of the timer's next expiry; the timer must be armed.
    Millis timerDue(int timerId) const;

    std::string caption;
    std::vector<std::string> statusHistory;
    std::vector<RecordedBox> boxes;
    // Runs while a box is open, as the box's own message loop would; its answer is the button pressed.
    std::function<MessageResult(const RecordedBox&)> onMessageBox;
    Millis pausedTotal = 0;
    int repaints = 0;
    std::optional<int> endResult;

private:
    struct Control {
        std::string text;
        bool enabled = true;
    };
    struct Timer {
        SimScheduler::EventId event = 0;
        Millis period = 0;
        Expiry onExpiry;
    };
    void scheduleExpiry(int timerId);

    SimScheduler& scheduler_;
    std::map<int, Control> controls_;
    std::map<int, Timer> timers_;
};

}  // namespace tessel::sim
