#include "platform/win32/message_window.h"

namespace tessel::win32 {
namespace {

constexpr wchar_t kClassName[] = L"TesselMessageWindow";

ATOM RegisterMessageWindowClass(WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    return ::RegisterClassExW(&windowClass);
}

}  // namespace

MessageWindow::MessageWindow(Handler handler) : handler_(std::move(handler)) {
    static const ATOM registered = RegisterMessageWindowClass(&MessageWindow::Procedure);
    if (registered == 0) return;
    window_ = ::CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ::GetModuleHandleW(nullptr),
                                nullptr);
    if (window_) ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

MessageWindow::~MessageWindow() {
    if (!window_) return;
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    ::DestroyWindow(window_);
}

LRESULT CALLBACK MessageWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<MessageWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
    // The handler may destroy this object: it runs from a copy, and nothing of the object is touched after it.
    const Handler handler = self->handler_;
    return handler(message, wParam, lParam) ? 0 : ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tessel::win32
