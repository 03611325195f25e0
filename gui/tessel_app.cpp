#include "gui/tessel_app.h"

#include <QApplication>

#include "gui/dialog_font.h"
#include "gui/main_dialog.h"
#include "gui/program_icon.h"
#include "gui/qt_translations.h"
#include "gui/upload_progress_mailbox.h"
#include "pack/signed_package_gate.h"
#include "platform/qt/qt_stream_socket.h"
#include "procedures/interruption_journal.h"
#include "platform/skiffs/skiffs_uploader.h"

namespace tessel {

int CTesselApp::InitInstance(std::string_view programDirectory, const DevicePorts& ports) {
    QApplication::setApplicationName(QString::fromUtf8(kProgramName));
    // The settings key of the program; nothing is ever stored under it.
    QApplication::setOrganizationName(QStringLiteral("ORVEX CORPORATION"));
    QApplication::setWindowIcon(ProgramIcon());
    // Message boxes speak Japanese too, their buttons included where the system does.
    QApplication::setFont(DialogFont());
    const QtTranslations translations;
    // The socket service needs no start-up of its own here: Qt's network module initialises the system's
    // sockets itself, and a socket that cannot be made is reported by the console when it is created.
    QtSocketFactory sockets;
    UploadProgressMailbox progress;
    SkiffsUploader uploader(&progress);
    MainDialog dialog(sockets, uploader, &progress);
    dialog.initialise(programDirectory, ports);
    // A script update cut off after the move-aside is repaired by the next press for that device.
    dialog.dialog().SetJournalFolder(DefaultJournalFolder());
    // When public keys are trusted (TESSEL_TRUSTED_KEYS, else the user's or the system's folder), an update
    // takes only a package signed by one of them.
    pack::SignedPackageGate packageGate(pack::FindTrustFolder(""));
    dialog.dialog().SetPackageGate(&packageGate);
    dialog.exec();
    return 0;
}

}  // namespace tessel
