// Runs one update to its end on the event loop of the calling thread.
#pragma once

#include <ostream>
#include <string>

#include "cli/cli_options.h"
#include "cli/run_loop.h"
#include "cli/terminal_dialog_host.h"
#include "dialog/tessel_dlg.h"
#include "platform/update_observer.h"

namespace tessel::cli {

// Keeps the outcome the core reports and ends the run's loop, the one RunUpdate runs.
class UpdateEndWaiter final : public UpdateObserver {
public:
    explicit UpdateEndWaiter(RunLoop& loop) : loop_(loop) {}
    void updateEnded(const UpdateOutcome& outcome) override;
    const std::optional<UpdateOutcome>& outcome() const { return outcome_; }
    void reset() { outcome_.reset(); }
    RunLoop& loop() { return loop_; }

private:
    RunLoop& loop_;
    std::optional<UpdateOutcome> outcome_;
};

// Starts the dialog on the package and fills its fields from the options, as an operator would.
void PrepareDialog(CTesselDlg& dialog, TerminalDialogHost& host, const CliOptions& options,
                   const std::string& packageDirectory);

// Presses the procedure's button, then runs the waiter's loop until the core reports the update's end (or
// the run is stopped). Writes what the core adds to a failure's message, the file and line at fault, to err.
// Returns 0 when the update succeeded, 1 otherwise.
int RunUpdate(CTesselDlg& dialog, UpdateEndWaiter& waiter, UpdateProcedure procedure, std::ostream& err);

}  // namespace tessel::cli
