#include "platform/win32/win32_dialog_host.h"

#include "platform/os/win32/wide_text.h"

namespace tessel {

std::wstring WideText(std::string_view utf8) {
    if (const std::optional<std::wstring> wide = os::win32::Widen(utf8)) return *wide;
    // Each byte of text that is not UTF-8 shows as a replacement character.
    std::wstring replaced;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const std::optional<std::wstring> one = os::win32::Widen(utf8.substr(i, 1));
        replaced += one ? *one : std::wstring(1, L'\xFFFD');
    }
    return replaced;
}

std::string WindowTextUtf8(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return os::win32::Narrow(text);
}

Win32DialogHost::Win32DialogHost(std::string_view programName, EndAction end)
    : programName_(WideText(programName)), end_(std::move(end)) {}

void Win32DialogHost::setControlText(int controlId, std::string_view text) {
    ::SetDlgItemTextW(dialog_, controlId, WideText(text).c_str());
}

std::string Win32DialogHost::controlText(int controlId) const {
    const HWND control = ::GetDlgItem(dialog_, controlId);
    return control ? WindowTextUtf8(control) : std::string();
}

void Win32DialogHost::enableControl(int controlId, bool enabled) {
    if (const HWND control = ::GetDlgItem(dialog_, controlId)) ::EnableWindow(control, enabled ? TRUE : FALSE);
}

void Win32DialogHost::setCaption(std::string_view text) { ::SetWindowTextW(dialog_, WideText(text).c_str()); }

MessageResult Win32DialogHost::messageBox(std::string_view text, MessageIcon icon, MessageButtons buttons) {
    const bool question = buttons == MessageButtons::YesNo;
    const UINT style =
        (question ? MB_YESNO : MB_OK) | (icon == MessageIcon::Information ? MB_ICONINFORMATION : MB_ICONWARNING);
    const int answer = ::MessageBoxW(dialog_, WideText(text).c_str(), programName_.c_str(), style);
    if (!question) return MessageResult::Ok;
    return answer == IDYES ? MessageResult::Yes : MessageResult::No;
}

void Win32DialogHost::repaint() {
    if (dialog_)
        ::RedrawWindow(dialog_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void Win32DialogHost::endDialog(int result) {
    if (end_) end_(result);
}

}  // namespace tessel
