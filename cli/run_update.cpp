#include "cli/run_update.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <iostream>

#include "app/control_ids.h"
#include "cli/update_watch.h"

namespace tessel::cli {

void PrepareDialog(CTesselDlg& dialog, TerminalDialogHost& host, const CliOptions& options,
                   const std::string& packageDirectory) {
    dialog.InitDialog(packageDirectory);
    dialog.SetConsolePort(options.consolePort);
    host.setControlText(kAddressEdit, options.address);
    host.setControlText(kLoginIdEdit, options.login);
    host.setControlText(kPasswordEdit, options.password);
    host.setControlText(kFtpPortEdit, options.ftpPort);
}

int RunUpdate(CTesselDlg& dialog, TerminalDialogHost& host, Procedure procedure, int timeoutSeconds) {
    if (procedure == Procedure::Firmware) {
        dialog.OnFirmwareButton();
    } else {
        dialog.OnScriptButton();
    }
    // The event loop runs the update; a look ten times a second tells when it has ended.
    QElapsedTimer elapsed;
    elapsed.start();
    int status = 1;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!UpdatePending(StateOf(dialog, host))) {
            status = ExitStatusFor(host.lastMessage());
            QCoreApplication::exit();
        } else if (elapsed.elapsed() > timeoutSeconds * 1000LL) {
            std::cerr << "tessel-cli: the update did not end within " << timeoutSeconds << " seconds" << std::endl;
            QCoreApplication::exit();
        }
    });
    watch.start(100);
    QCoreApplication::exec();
    return status;
}

}  // namespace tessel::cli
