#include "dialog/operator_texts.h"
#include "dialog/tessel_dlg.h"

namespace tessel {

void CTesselDlg::consoleConnected(int errorCode) {
    const EntryScope entry(*this);
    if (errorCode != 0) {
        linkDown_ = -1;
        // The restart wait expects refused connects until the device is back.
        const bool restartWait = step_ == kStepRestartWait && IsUpdateMode(mode_);
        if (!restartWait) ShowMessage(texts::kCommunicationError, MessageIcon::Warning);
    } else {
        linkDown_ = 0;
    }
    OnConsoleEvent();
}

// The box of a failed receive comes before the read, and a block goes to the steps only once it is read.
void CTesselDlg::consoleReadable(CConsoleSocket& socket, int errorCode) {
    const EntryScope entry(*this);
    if (errorCode != 0) {
        ShowMessage(texts::ReceiveNotificationError(errorCode), MessageIcon::Warning);
    }
    switch (console_.readBlock(socket, receiveBuffer_)) {
    case ConsoleRead::Block: OnConsoleEvent(); break;
    case ConsoleRead::ClosedByDevice: OnConsoleClosedByDevice(); break;
    case ConsoleRead::Nothing: break;
    }
}

}  // namespace tessel
