#pragma once

#include <string_view>

#include "dialog/tessel_dlg.h"
#include "gui/device_ports.h"
#include "gui/painting_uploader.h"
#include "gui/win32/tessel_dialog_window.h"
#include "platform/win32/win32_dialog_host.h"
#include "platform/win32/win32_event_pump.h"
#include "platform/win32/win32_window_timers.h"

namespace tessel {

// The program's name: the caption of its message boxes.
inline constexpr char kProgramName[] = "Tessel";

// The main dialog as the operator sees it on Windows: the window, its host, and the core dialog that runs the
// update procedures, wired together. The core dialog goes first when it ends: its sockets and timers refer
// to it.
class MainDialog {
public:
    // The uploads run on uploader while the window stays painted; progress is what uploader reports to.
    MainDialog(SocketFactory& sockets, FileUploader& uploader, UploadProgressMailbox* progress = nullptr);

    // Defaults and the update header of the package in programDirectory; the device is reached on ports.
    void initialise(std::string_view programDirectory, const DevicePorts& ports = {});
    // Shows the window modally; returns its result when it has closed.
    int exec() { return window_.exec(); }

    TesselDialogWindow& window() { return window_; }
    DialogHost& host() { return host_; }
    CTesselDlg& dialog() { return dialog_; }

private:
    // The dialog's own message boxes tell the operator how an update ended.
    class IgnoredOutcome final : public UpdateObserver {
    public:
        void updateEnded(const UpdateOutcome&) override {}
    };

    TesselDialogWindow window_;
    Win32DialogHost host_;
    Win32WindowTimers timers_;
    Win32EventPump events_;
    PaintingUploader uploader_;
    IgnoredOutcome ignoredOutcome_;
    CTesselDlg dialog_;
};

}  // namespace tessel
