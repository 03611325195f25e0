#pragma once

#include <windows.h>

#include <functional>

namespace tessel::win32 {

// A hidden window that only receives messages, so that notifications (socket events, timer expiries) arrive
// one at a time through the thread's own message loop, never inside a call that caused them. Destroying the
// object, also from inside its handler, drops whatever is still queued for it.
class MessageWindow {
public:
    // True when it has handled the message; the rest go to the system's default handling.
    using Handler = std::function<bool(UINT message, WPARAM wParam, LPARAM lParam)>;

    explicit MessageWindow(Handler handler);
    ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    // Null when the window could not be made.
    HWND handle() const { return window_; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    Handler handler_;
    HWND window_ = nullptr;
};

}  // namespace tessel::win32
