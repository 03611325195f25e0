#include "cli/single_run.h"

#include <unistd.h>

#include <chrono>
#include <iostream>

#include "cli/command_flow.h"
#include "cli/device_lock.h"
#include "cli/device_record.h"
#include "cli/progress_bar.h"
#include "cli/run_deadline.h"
#include "cli/run_update.h"
#include "cli/terminal_dialog_host.h"
#include "cli/traffic_log.h"
#include "cli/visible_text.h"
#include "dialog/cp932.h"
#include "dialog/tessel_dlg.h"
#include "platform/qt/qt_event_pump.h"
#include "platform/qt/qt_stream_socket.h"
#include "platform/qt/qt_window_timers.h"
#include "platform/skiffs/skiffs_uploader.h"
#include "procedures/interruption_journal.h"

namespace tessel::cli {
namespace {

// How long after the limit a run may take to come back from a cancelled upload before the process ends anyway.
constexpr std::chrono::seconds kDeadlineGrace{5};

}  // namespace

int RunSingleDevice(CliOptions options, const std::string& password) {
    options.password = password;
    std::ostream& statusOut = options.json ? std::cerr : std::cout;
    const auto started = std::chrono::steady_clock::now();
    ProgressBar progressBar(statusOut);
    SkiffsUploader uploader(isatty(options.json ? STDERR_FILENO : STDOUT_FILENO) == 1 ? &progressBar : nullptr);
    // From here on the run is bounded, whatever blocks: the address lookup, an upload, a connect.
    const RunDeadline deadline(std::chrono::seconds(options.timeoutSeconds), kDeadlineGrace,
                               [&uploader] { uploader.cancelAll(); });
    DeviceRun run{"", options.address, options.login, options.ftpPort, options.consolePort, options.procedure};
    const auto finish = [&](int status) {
        if (run.result.empty()) run.result = status == 0 ? "succeeded" : "failed";
        if (deadline.expired())
            run.note = "the run did not end within " + std::to_string(options.timeoutSeconds) + " s";
        run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        if (options.json) std::cout << DeviceRecordJson(run) << std::endl;
        return status;
    };

    std::string lockError;
    const std::optional<DeviceLock> lock = DeviceLock::acquire(options.address, options.consolePort, lockError);
    if (!lock) {
        std::cerr << "tessel-cli: " << VisibleText(lockError) << std::endl;
        run.note = lockError;
        return finish(1);
    }

    TerminalDialogHost host(statusOut, std::cerr);
    QtSocketFactory qtSockets;
    TrafficLoggingSocketFactory loggedSockets(qtSockets, std::cerr, Utf8ToCp932(password).value_or(password));
    SocketFactory& sockets = options.verbose ? static_cast<SocketFactory&>(loggedSockets) : qtSockets;
    UpdateEndWaiter waiter;
    QtWindowTimers timers;
    QtEventPump events;
    CTesselDlg dialog({host, timers, events, sockets, uploader, waiter});
    PrepareDialog(dialog, host, options, options.packageDirectory);
    dialog.SetJournalFolder(DefaultJournalFolder());
    if (!host.caption().empty()) statusOut << VisibleText(host.caption()) << std::endl;

    const int status = RunCommandFlow(dialog, waiter, options, statusOut, std::cerr);
    run.outcome = waiter.outcome();
    run.statuses = host.statusChanges();
    return finish(deadline.expired() ? 1 : status);
}

}  // namespace tessel::cli
