#pragma once

#include <map>

#include "platform/win32/message_window.h"
#include "platform/window_timers.h"

namespace tessel {

// The system's window timers (SetTimer) on a message window of their own: expiries come through the thread's
// message loop.
class Win32WindowTimers final : public WindowTimers {
public:
    Win32WindowTimers();

    void setTimer(int timerId, std::chrono::milliseconds period, Expiry onExpiry) override;
    void killTimer(int timerId) override;
    bool isArmed(int timerId) const { return armed_.contains(timerId); }

private:
    bool onMessage(UINT message, WPARAM wParam);

    std::map<int, Expiry> armed_;
    win32::MessageWindow window_;
};

}  // namespace tessel
