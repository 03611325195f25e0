#include "win32_dialog_fixture.h"

namespace tessel::gui_test {
namespace {

TesselDialogWindow* guarded = nullptr;

// Ends a window whose loop would otherwise wait for ever.
void CALLBACK EndGuardedWindow(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    if (guarded) guarded->end(-1);
}

}  // namespace

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds bound) {
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (!condition() && std::chrono::steady_clock::now() < deadline) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    return condition();
}

int Win32DialogTest::runWithKey(int id, WPARAM key) {
    ::PostMessageW(control(id), WM_KEYDOWN, key, 1);
    ::PostMessageW(control(id), WM_KEYUP, key, 1u | 0xC0000000u);
    guarded = &dialog.window();
    const UINT_PTR guard = ::SetTimer(nullptr, 0, 10000, &EndGuardedWindow);
    const int result = dialog.exec();
    ::KillTimer(nullptr, guard);
    guarded = nullptr;
    return result;
}

}  // namespace tessel::gui_test
