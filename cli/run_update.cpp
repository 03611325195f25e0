#include "cli/run_update.h"

#include "cli/visible_text.h"
#include "dialog/control_ids.h"

namespace tessel::cli {

void UpdateEndWaiter::updateEnded(const UpdateOutcome& outcome) {
    outcome_ = outcome;
    loop_.quit();
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

int RunUpdate(CTesselDlg& dialog, UpdateEndWaiter& waiter, UpdateProcedure procedure, std::ostream& err) {
    waiter.reset();
    switch (procedure) {
    case UpdateProcedure::Firmware: dialog.OnFirmwareButton(); break;
    case UpdateProcedure::Script: dialog.OnScriptButton(); break;
    case UpdateProcedure::VersionQuery: dialog.OnVersionQuery(); break;
    case UpdateProcedure::AutoscriptRestore: dialog.OnRestoreAutoscript(); break;
    }
    // An update refused at once (its input, its package) has ended before the loop would start.
    if (!waiter.outcome()) waiter.loop().run();
    const std::optional<UpdateOutcome>& outcome = waiter.outcome();
    if (outcome && !outcome->succeeded && !outcome->detail.empty()) err << VisibleText(outcome->detail) << std::endl;
    return outcome && outcome->succeeded ? 0 : 1;
}

}  // namespace tessel::cli
