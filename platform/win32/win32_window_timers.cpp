#include "platform/win32/win32_window_timers.h"

#include <algorithm>

namespace tessel {

Win32WindowTimers::Win32WindowTimers()
    : window_([this](UINT message, WPARAM wParam, LPARAM) { return onMessage(message, wParam); }) {}

void Win32WindowTimers::setTimer(int timerId, std::chrono::milliseconds period, Expiry onExpiry) {
    const auto milliseconds =
        static_cast<UINT>(std::clamp<long long>(period.count(), USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM));
    if (::SetTimer(window_.handle(), static_cast<UINT_PTR>(timerId), milliseconds, nullptr) == 0) return;
    armed_[timerId] = std::move(onExpiry);
}

void Win32WindowTimers::killTimer(int timerId) {
    if (armed_.erase(timerId) == 0) return;
    ::KillTimer(window_.handle(), static_cast<UINT_PTR>(timerId));
}

bool Win32WindowTimers::onMessage(UINT message, WPARAM wParam) {
    if (message != WM_TIMER) return false;
    const auto found = armed_.find(static_cast<int>(wParam));
    // An expiry already queued when its timer was killed is dropped.
    if (found == armed_.end()) return true;
    // The action may arm or kill this very timer: run a copy.
    const Expiry action = found->second;
    if (action) action(static_cast<int>(wParam));
    return true;
}

}  // namespace tessel
