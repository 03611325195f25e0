// Runs one update to its end on the thread's event loop.
#ifndef TESSEL_CLI_RUN_UPDATE_H
#define TESSEL_CLI_RUN_UPDATE_H

#include <string>

#include "app/tessel_dlg.h"
#include "cli/cli_options.h"
#include "cli/terminal_dialog_host.h"

namespace tessel::cli {

// Starts the dialog on the package and fills its fields from the options, as an operator would.
void PrepareDialog(CTesselDlg& dialog, TerminalDialogHost& host, const CliOptions& options,
                   const std::string& packageDirectory);

// Presses the procedure's button, then runs the event loop until nothing can change the device any
// more. Returns 0 when the update ended with its success message, 1 when it failed or did not end
// within timeoutSeconds.
int RunUpdate(CTesselDlg& dialog, TerminalDialogHost& host, Procedure procedure, int timeoutSeconds);

}  // namespace tessel::cli

#endif
