#include "cli/run_update.h"

#include <QCoreApplication>
#include <QTimer>
#include <iostream>

#include "dialog/control_ids.h"

namespace tessel::cli {

void UpdateEndWaiter::updateEnded(const UpdateOutcome& outcome) {
    outcome_ = outcome;
    QCoreApplication::exit();
}

void PrepareDialog(CTesselDlg& dialog, TerminalDialogHost& host, const CliOptions& options,
                   const std::string& packageDirectory) {
    dialog.InitDialog(packageDirectory);
    dialog.SetConsolePort(options.consolePort);
    host.setControlText(kAddressEdit, options.address);
    host.setControlText(kLoginIdEdit, options.login);
    host.setControlText(kPasswordEdit, options.password);
    host.setControlText(kFtpPortEdit, options.ftpPort);
}

int RunUpdate(CTesselDlg& dialog, UpdateEndWaiter& waiter, UpdateProcedure procedure, int timeoutSeconds) {
    if (procedure == UpdateProcedure::Firmware) {
        dialog.OnFirmwareButton();
    } else {
        dialog.OnScriptButton();
    }
    // An update refused at once (its input, its package) has ended before the loop would start.
    if (!waiter.outcome()) {
        QTimer deadline;
        deadline.setSingleShot(true);
        QObject::connect(&deadline, &QTimer::timeout, [timeoutSeconds] {
            std::cerr << "tessel-cli: the update did not end within " << timeoutSeconds << " seconds" << std::endl;
            QCoreApplication::exit();
        });
        deadline.start(std::chrono::seconds(timeoutSeconds));
        QCoreApplication::exec();
    }
    return waiter.outcome() && waiter.outcome()->succeeded ? 0 : 1;
}

}  // namespace tessel::cli
