#include "dialog/tessel_dlg.h"

namespace tessel {

// Leaves the mode and the timers alone. The step is -1 before the box opens, so events that the box's message
// loop dispatches find no handler.
void CTesselDlg::ReportError(std::string_view message) {
    CloseConsole();
    step_ = kStepStopped;
    ShowMessage(message, MessageIcon::Warning);
    EnableUpdateButtons();
    SetStatus(message);
    ClearDetail();
}

}  // namespace tessel
