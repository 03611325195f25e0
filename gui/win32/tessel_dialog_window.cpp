#include "gui/win32/tessel_dialog_window.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dialog/control_ids.h"
#include "gui/dialog_template.h"
#include "gui/win32/dialog_resource.h"
#include "gui/win32/program_resources.h"
#include "platform/win32/win32_dialog_host.h"

namespace tessel {
namespace {

HICON LoadProgramIcon(int metricX, int metricY) {
    return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(TESSEL_PROGRAM_ICON),
                                           IMAGE_ICON, ::GetSystemMetrics(metricX), ::GetSystemMetrics(metricY),
                                           LR_DEFAULTCOLOR));
}

RECT ClientRectOf(HWND control, HWND parent) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace

TesselDialogWindow::TesselDialogWindow() {
    const std::vector<WORD> resource = BuildDialogResource(MainDialogTemplate());
    window_ =
        ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(resource.data()),
                                     nullptr, &TesselDialogWindow::Procedure, reinterpret_cast<LPARAM>(this));
}

TesselDialogWindow::~TesselDialogWindow() {
    if (window_) {
        ::SetWindowLongPtrW(window_, DWLP_USER, 0);
        ::DestroyWindow(window_);
    }
    for (const HICON icon : {largeIcon_, smallIcon_}) {
        if (icon) ::DestroyIcon(icon);
    }
}

INT_PTR CALLBACK TesselDialogWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrW(window, DWLP_USER, lParam);
        reinterpret_cast<TesselDialogWindow*>(lParam)->initialise(window);
        // Focus goes to the first control of the tab order.
        return TRUE;
    }
    auto* self = reinterpret_cast<TesselDialogWindow*>(::GetWindowLongPtrW(window, DWLP_USER));
    return self && self->onMessage(message, wParam) ? TRUE : FALSE;
}

void TesselDialogWindow::initialise(HWND window) {
    window_ = window;
    largeIcon_ = LoadProgramIcon(SM_CXICON, SM_CYICON);
    smallIcon_ = LoadProgramIcon(SM_CXSMICON, SM_CYSMICON);
    ::SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_));
    ::SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    // The upload's file and progress bar share the detail line's place: the name on the left, the bar on the
    // right.
    const RECT detail = ClientRectOf(control(kDetailLine), window);
    const int labelWidth = (detail.right - detail.left) * 3 / 5;
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    progressLabel_ = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | SS_LEFT | SS_CENTERIMAGE, detail.left, detail.top,
                                       labelWidth, detail.bottom - detail.top, window, nullptr, instance, nullptr);
    progressBar_ = ::CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | PBS_SMOOTH, detail.left + labelWidth,
                                     detail.top, detail.right - detail.left - labelWidth, detail.bottom - detail.top,
                                     window, nullptr, instance, nullptr);
    const auto font = ::SendMessageW(window, WM_GETFONT, 0, 0);
    ::SendMessageW(progressLabel_, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
}

bool TesselDialogWindow::onMessage(UINT message, WPARAM wParam) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) onCommand(LOWORD(wParam));
        return true;
    case WM_CLOSE:
        if (mayClose()) end(IDCANCEL);
        return true;
    case WM_PAINT: return paintMinimised();
    case WM_QUERYDRAGICON:
        ::SetWindowLongPtrW(window_, DWLP_MSGRESULT, reinterpret_cast<LONG_PTR>(largeIcon_));
        return true;
    default: return false;
    }
}

void TesselDialogWindow::onCommand(int controlId) {
    switch (controlId) {
    case IDOK:
        // The close button, or the Enter key.
        if (mayClose()) end(IDOK);
        break;
    case IDCANCEL:
        // The Escape key: the standard cancel, without the question.
        end(IDCANCEL);
        break;
    case kFirmwareButton:
    case kScriptButton:
        if (commandHandler_) commandHandler_(controlId);
        break;
    default: break;
    }
}

// A minimised window shows the program icon centred in its client area.
bool TesselDialogWindow::paintMinimised() {
    if (!::IsIconic(window_)) return false;
    PAINTSTRUCT paint;
    const HDC context = ::BeginPaint(window_, &paint);
    ::SendMessageW(window_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(context), 0);
    RECT client{};
    ::GetClientRect(window_, &client);
    const int iconWidth = ::GetSystemMetrics(SM_CXICON);
    const int iconHeight = ::GetSystemMetrics(SM_CYICON);
    ::DrawIcon(context, (client.right - iconWidth + 1) / 2, (client.bottom - iconHeight + 1) / 2, largeIcon_);
    ::EndPaint(window_, &paint);
    return true;
}

int TesselDialogWindow::exec() {
    if (!window_) return -1;
    ended_ = false;
    ::ShowWindow(window_, SW_SHOW);
    MSG message;
    while (!ended_) {
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            // A quit message ends the program: it stays for the loop above this one.
            if (got == 0) ::PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (::IsDialogMessageW(window_, &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return result_;
}

void TesselDialogWindow::end(int result) {
    result_ = result;
    ended_ = true;
    ::ShowWindow(window_, SW_HIDE);
}

void TesselDialogWindow::showUploadProgress(std::string_view fileName, int doneBlocks, int totalBlocks) {
    const int total = std::max(totalBlocks, 1);
    const int done = std::clamp(doneBlocks, 0, total);
    const std::wstring text = WideText(fileName) + L"  " + std::to_wstring(done * 100 / total) + L"%";
    ::SetWindowTextW(progressLabel_, text.c_str());
    ::SendMessageW(progressBar_, PBM_SETRANGE32, 0, total);
    ::SendMessageW(progressBar_, PBM_SETPOS, static_cast<WPARAM>(done), 0);
    ::ShowWindow(control(kDetailLine), SW_HIDE);
    ::ShowWindow(progressLabel_, SW_SHOW);
    ::ShowWindow(progressBar_, SW_SHOW);
    paintNow();
}

void TesselDialogWindow::endUploadProgress() {
    ::ShowWindow(progressLabel_, SW_HIDE);
    ::ShowWindow(progressBar_, SW_HIDE);
    ::ShowWindow(control(kDetailLine), SW_SHOW);
    paintNow();
}

void TesselDialogWindow::paintNow() {
    // Lets the window system tell what needs painting (under Wine the X server's exposures arrive this way)
    // without taking any message from the queue: input, sockets and timers wait for the end of the upload.
    MSG ignored;
    ::PeekMessageW(&ignored, nullptr, 0, 0, PM_NOREMOVE);
    ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

}  // namespace tessel
