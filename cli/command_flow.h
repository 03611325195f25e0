// What one command of tessel-cli runs around the procedure it names: the version checks before and after
// a firmware update, the restore that an interrupted earlier update calls for, the version's output.
#pragma once

#include <ostream>

#include "cli/cli_options.h"
#include "cli/run_update.h"
#include "dialog/tessel_dlg.h"

namespace tessel::cli {

// Returns the exit status: 0 when everything asked for succeeded, 1 otherwise.
int RunCommandFlow(CTesselDlg& dialog, UpdateEndWaiter& waiter, const CliOptions& options, std::ostream& out,
                   std::ostream& err);

}  // namespace tessel::cli
