#include <cstdio>

#include "dialog/tessel_dlg.h"

namespace tessel {

void CTesselDlg::consoleConnected(int errorCode) {
    const EntryScope entry(*this);
    if (errorCode != 0) {
        linkDown_ = -1;
        // The restart wait expects refused connects until the device is back.
        const bool restartWait = step_ == kStepRestartWait && IsUpdateMode(mode_);
        if (!restartWait) ShowMessage("通信エラー\nIPアドレスや接続を確認してください", MessageIcon::Warning);
    } else {
        linkDown_ = 0;
    }
    OnConsoleEvent();
}

// The box of a failed receive comes before the read, and a block goes to the steps only once it is read.
void CTesselDlg::consoleReadable(CConsoleSocket& socket, int errorCode) {
    const EntryScope entry(*this);
    if (errorCode != 0) {
        char text[32];
        std::snprintf(text, sizeof text, "Connect Err(0x%x)", static_cast<unsigned>(errorCode));
        ShowMessage(text, MessageIcon::Warning);
    }
    switch (console_.readBlock(socket, receiveBuffer_)) {
    case ConsoleRead::Block: OnConsoleEvent(); break;
    case ConsoleRead::ClosedByDevice: OnConsoleClosedByDevice(); break;
    case ConsoleRead::Nothing: break;
    }
}

}  // namespace tessel
