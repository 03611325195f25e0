#pragma once

#include <windows.h>

#include <functional>

#include "gui/upload_progress_view.h"

namespace tessel {

// The main dialog's window on Win32, made from its window template. It knows nothing of updates: the update
// buttons and the closing question are handed to it. It is modeless to the system and runs its own modal
// loop, so that the program (and a test) can reach it before and after that loop.
class TesselDialogWindow final : public UploadProgressView {
public:
    using CommandHandler = std::function<void(int controlId)>;
    // True when the window may close now; asked by the close button (also the Enter key) and the window's
    // close command, never by the Escape key.
    using CloseGuard = std::function<bool()>;

    TesselDialogWindow();
    ~TesselDialogWindow();
    TesselDialogWindow(const TesselDialogWindow&) = delete;
    TesselDialogWindow& operator=(const TesselDialogWindow&) = delete;

    // Null when the window could not be made.
    HWND handle() const { return window_; }
    HWND control(int controlId) const { return ::GetDlgItem(window_, controlId); }
    void setCommandHandler(CommandHandler handler) { commandHandler_ = std::move(handler); }
    void setCloseGuard(CloseGuard guard) { closeGuard_ = std::move(guard); }

    // Shows the window and runs its message loop until it has ended; returns its result (IDOK, IDCANCEL or
    // what end() was given).
    int exec();
    // Ends the window with a result: it is hidden and its loop returns.
    void end(int result);
    bool ended() const { return ended_; }
    int result() const { return result_; }

    // Shown over the detail line, which the procedures only ever clear.
    void showUploadProgress(std::string_view fileName, int doneBlocks, int totalBlocks) override;
    void endUploadProgress() override;
    HWND uploadProgressBar() const { return progressBar_; }
    HWND uploadFileLabel() const { return progressLabel_; }

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool onMessage(UINT message, WPARAM wParam);
    void initialise(HWND window);
    void onCommand(int controlId);
    bool paintMinimised();
    void paintNow();
    bool mayClose() const { return !closeGuard_ || closeGuard_(); }

    HWND window_ = nullptr;
    HICON largeIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    HWND progressLabel_ = nullptr;
    HWND progressBar_ = nullptr;
    CommandHandler commandHandler_;
    CloseGuard closeGuard_;
    bool ended_ = false;
    int result_ = IDCANCEL;
};

}  // namespace tessel
