#include "gui/win32/main_dialog.h"

#include <string>

#include "dialog/control_ids.h"
#include "gui/closing_rule.h"

namespace tessel {

MainDialog::MainDialog(SocketFactory& sockets, FileUploader& uploader, UploadProgressMailbox* progress)
    : host_(kProgramName, [this](int result) { window_.end(result); }),
      uploader_(uploader, progress, window_),
      dialog_({host_, timers_, events_, sockets, uploader_, ignoredOutcome_}) {
    host_.attach(window_.handle());
    window_.setCommandHandler([this](int controlId) {
        if (controlId == kFirmwareButton) dialog_.OnFirmwareButton();
        if (controlId == kScriptButton) dialog_.OnScriptButton();
    });
    window_.setCloseGuard([this] { return MayCloseDialog(dialog_, host_); });
}

void MainDialog::initialise(std::string_view programDirectory, const DevicePorts& ports) {
    dialog_.InitDialog(programDirectory);
    dialog_.SetConsolePort(ports.console);
    // The hidden FTP port field is where the core dialog takes the FTP port from.
    host_.setControlText(kFtpPortEdit, std::to_string(ports.ftp));
}

}  // namespace tessel
