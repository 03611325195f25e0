#include "platform/win32/win32_event_pump.h"

#include <windows.h>

namespace tessel {

void Win32EventPump::pause(std::chrono::milliseconds duration) { ::Sleep(static_cast<DWORD>(duration.count())); }

void Win32EventPump::dispatchPendingEvents() {
    // Messages that come while these are handled (a timer due again) wait for the next call: the call ends.
    const DWORD start = ::GetTickCount();
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        const bool arrivedMeanwhile = static_cast<LONG>(message.time - start) > 0;
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
        if (arrivedMeanwhile) return;
    }
}

}  // namespace tessel
