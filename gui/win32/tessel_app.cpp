#include "gui/win32/tessel_app.h"

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "gui/upload_progress_mailbox.h"
#include "gui/win32/main_dialog.h"
#include "pack/signed_package_gate.h"
#include "platform/skiffs/skiffs_uploader.h"
#include "platform/win32/win32_dialog_host.h"
#include "platform/win32/win32_stream_socket.h"
#include "platform/win32/winsock_startup.h"
#include "procedures/interruption_journal.h"

namespace tessel {

int CTesselApp::InitInstance(std::string_view programDirectory, const DevicePorts& ports) {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    const win32::WinsockStartup sockets;
    if (!sockets.started()) {
        ::MessageBoxW(nullptr, WideText("Windows ソケットの初期化に失敗しました。").c_str(),
                      WideText(kProgramName).c_str(), MB_OK | MB_ICONWARNING);
        return 1;
    }
    Win32SocketFactory socketFactory;
    UploadProgressMailbox progress;
    SkiffsUploader uploader(&progress);
    MainDialog dialog(socketFactory, uploader, &progress);
    dialog.initialise(programDirectory, ports);
    // A script update cut off after the move-aside is repaired by the next press for that device.
    dialog.dialog().SetJournalFolder(DefaultJournalFolder());
    // When public keys are trusted (TESSEL_TRUSTED_KEYS, else the user's or the machine's folder), an update
    // takes only a package signed by one of them.
    pack::SignedPackageGate packageGate(pack::FindTrustFolder(""));
    dialog.dialog().SetPackageGate(&packageGate);
    dialog.exec();
    return 0;
}

}  // namespace tessel
