#include "message_box_answerer.h"

#include <algorithm>

#include "platform/win32/win32_dialog_host.h"

namespace tessel::gui_test {
namespace {

// The one answerer of the thread, for the timer's callback.
MessageBoxAnswerer* current = nullptr;

// The static control that holds a message box's text, in Windows and in Wine.
constexpr int kMessageBoxTextId = 0xFFFF;

bool IsMessageBox(HWND window) {
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    // Dialogs of the dialog class with an owner: the main dialog has none.
    return std::wstring(className) == L"#32770" && ::GetWindow(window, GW_OWNER) != nullptr &&
           ::IsWindowVisible(window) && ::GetDlgItem(window, kMessageBoxTextId) != nullptr;
}

bool ShowsIcon(HWND box, LPCWSTR standardIcon) {
    const HICON expected = ::LoadIconW(nullptr, standardIcon);
    bool found = false;
    for (HWND child = ::GetWindow(box, GW_CHILD); child && !found; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const auto icon = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
        found = icon != nullptr && icon == expected;
    }
    return found;
}

}  // namespace

MessageBoxAnswerer::MessageBoxAnswerer(int questionAnswer) : questionAnswer_(questionAnswer) {
    current = this;
    timer_ = ::SetTimer(nullptr, 0, 20, &MessageBoxAnswerer::Poll);
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
    ::KillTimer(nullptr, timer_);
    current = nullptr;
}

bool MessageBoxAnswerer::sawText(const std::string& text) const {
    return std::any_of(shown_.begin(), shown_.end(), [&](const ShownMessageBox& box) { return box.text == text; });
}

void CALLBACK MessageBoxAnswerer::Poll(HWND, UINT, UINT_PTR, DWORD) {
    if (current) current->answerOpenBoxes();
}

void MessageBoxAnswerer::answerOpenBoxes() {
    std::vector<HWND> boxes;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM found) {
            if (IsMessageBox(window)) reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&boxes));
    for (const HWND box : boxes) {
        ShownMessageBox shown;
        shown.caption = WindowTextUtf8(box);
        shown.text = WindowTextUtf8(::GetDlgItem(box, kMessageBoxTextId));
        shown.yesNo = ::GetDlgItem(box, IDYES) != nullptr && ::GetDlgItem(box, IDNO) != nullptr;
        shown.warningIcon = ShowsIcon(box, IDI_WARNING);
        shown.informationIcon = ShowsIcon(box, IDI_INFORMATION);
        shown_.push_back(shown);
        // Hidden at once, so that the next poll does not count it again.
        ::ShowWindow(box, SW_HIDE);
        ::PostMessageW(box, WM_COMMAND, shown.yesNo ? questionAnswer_ : IDOK, 0);
    }
}

}  // namespace tessel::gui_test
