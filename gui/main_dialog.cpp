#include "gui/main_dialog.h"

#include "dialog/control_ids.h"
#include "gui/closing_rule.h"

namespace tessel {

MainDialog::MainDialog(SocketFactory& sockets, FileUploader& uploader)
    : host_(window_, QString::fromUtf8(kProgramName)), dialog_({host_, timers_, events_, sockets, uploader, ignoredOutcome_}) {
    window_.setCommandHandler([this](int controlId) {
        if (controlId == kFirmwareButton) dialog_.OnFirmwareButton();
        if (controlId == kScriptButton) dialog_.OnScriptButton();
    });
    window_.setCloseGuard([this] { return MayCloseDialog(dialog_, host_); });
}

}  // namespace tessel
