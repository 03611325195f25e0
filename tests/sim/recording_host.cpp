#include "recording_host.h"

#include "dialog/control_ids.h"

namespace tessel::sim {

void RecordingHost::setControlText(int controlId, std::string_view text) {
    controls_[controlId].text = text;
    if (controlId == kStatusLine) statusHistory.emplace_back(text);
}

std::string RecordingHost::controlText(int controlId) const {
    const auto found = controls_.find(controlId);
    return found == controls_.end() ? std::string{} : found->second.text;
}

void RecordingHost::enableControl(int controlId, bool enabled) { controls_[controlId].enabled = enabled; }

bool RecordingHost::isEnabled(int controlId) const {
    const auto found = controls_.find(controlId);
    return found == controls_.end() || found->second.enabled;
}

MessageResult RecordingHost::messageBox(std::string_view text, MessageIcon icon, MessageButtons buttons) {
    boxes.push_back(RecordedBox{std::string(text), icon, buttons});
    if (onMessageBox) return onMessageBox(boxes.back());
    return buttons == MessageButtons::YesNo ? MessageResult::Yes : MessageResult::Ok;
}

void RecordingHost::setTimer(int timerId, std::chrono::milliseconds period, Expiry onExpiry) {
    Timer& timer = timers_[timerId];
    scheduler_.cancel(timer.event);
    timer.period = period.count();
    timer.onExpiry = std::move(onExpiry);
    scheduleExpiry(timerId);
}

void RecordingHost::scheduleExpiry(int timerId) {
    Timer& timer = timers_[timerId];
    timer.event = scheduler_.schedule(timer.period, [this, timerId] {
        // Periodic, as a window timer is: the next expiry is due unless the action kills the timer.
        scheduleExpiry(timerId);
        const Expiry action = timers_[timerId].onExpiry;
        action(timerId);
    });
}

void RecordingHost::killTimer(int timerId) {
    const auto found = timers_.find(timerId);
    if (found == timers_.end()) return;
    scheduler_.cancel(found->second.event);
    timers_.erase(found);
}

bool RecordingHost::isTimerArmed(int timerId) const {
    const auto found = timers_.find(timerId);
    return found != timers_.end() && scheduler_.isPending(found->second.event);
}

Millis RecordingHost::timerDue(int timerId) const { return scheduler_.dueTime(timers_.at(timerId).event); }

void RecordingHost::pause(std::chrono::milliseconds duration) {
    pausedTotal += duration.count();
    scheduler_.advance(duration.count());
}

}  // namespace tessel::sim
