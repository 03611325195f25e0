#include "cli/device_run.h"

#include <chrono>
#include <optional>

#include "cli/command_flow.h"
#include "cli/device_lock.h"
#include "cli/device_record.h"
#include "cli/run_deadline.h"
#include "cli/run_loop.h"
#include "cli/run_update.h"
#include "cli/terminal_dialog_host.h"
#include "cli/traffic_log.h"
#include "cli/visible_text.h"
#include "dialog/cp932.h"
#include "dialog/tessel_dlg.h"
#include "platform/asio/asio_event_pump.h"
#include "platform/asio/asio_stream_socket.h"
#include "platform/asio/asio_window_timers.h"
#include "platform/skiffs/skiffs_uploader.h"
#include "procedures/interruption_journal.h"

namespace tessel::cli {
namespace {

// How long after the limit a run may take to come back from a cancelled upload before it is given up.
constexpr std::chrono::seconds kDeadlineGrace{5};

// The uploader and loop are the stop's to reach while they live.
class Attached {
public:
    Attached(RunStop& stop, FileUploader& uploader, RunLoop& loop) : stop_(stop) { stop_.attach(uploader, loop); }
    ~Attached() { stop_.detach(); }
    Attached(const Attached&) = delete;
    Attached& operator=(const Attached&) = delete;

private:
    RunStop& stop_;
};

}  // namespace

DeviceRunEnd RunDevice(const CliOptions& options, const DeviceRunOutput& output, RunStop& stop,
                       const std::function<void()>& giveUp) {
    const auto started = std::chrono::steady_clock::now();
    SkiffsUploader uploader(output.progress);
    RunLoop loop;
    const Attached attached(stop, uploader, loop);
    // From here on the run is bounded, whatever blocks: the address lookup, an upload, a connect.
    const RunDeadline deadline(
        std::chrono::seconds(options.timeoutSeconds), kDeadlineGrace, [&stop] { stop.stop(); }, output.deadline,
        giveUp);
    DeviceRun run{"", options.address, options.login, options.ftpPort, options.consolePort, options.procedure};
    run.signer = options.packageSigner;
    run.signerKey = options.packageSignerKey;
    const auto finish = [&](int status) {
        if (run.result.empty()) run.result = status == 0 ? "succeeded" : "failed";
        if (deadline.expired())
            run.note = "the run did not end within " + std::to_string(options.timeoutSeconds) + " s";
        run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        return DeviceRunEnd{status, DeviceRecordJson(run)};
    };

    std::string lockError;
    const std::optional<DeviceLock> lock = DeviceLock::acquire(options.address, options.consolePort, lockError);
    if (!lock) {
        output.err << "tessel-cli: " << VisibleText(lockError) << std::endl;
        run.note = lockError;
        return finish(1);
    }

    TerminalDialogHost host(output.status, output.err);
    AsioSocketFactory plainSockets(loop.context());
    TrafficLoggingSocketFactory loggedSockets(plainSockets, output.err,
                                              Utf8ToCp932(options.password).value_or(options.password));
    SocketFactory& sockets = options.verbose ? static_cast<SocketFactory&>(loggedSockets) : plainSockets;
    UpdateEndWaiter waiter(loop);
    AsioWindowTimers timers(loop.context());
    AsioEventPump events(loop.context());
    CTesselDlg dialog({host, timers, events, sockets, uploader, waiter});
    PrepareDialog(dialog, host, options,
                  options.checkedPackageDirectory.empty() ? options.packageDirectory : options.checkedPackageDirectory);
    dialog.SetJournalFolder(DefaultJournalFolder());
    if (!host.caption().empty()) output.status << VisibleText(host.caption()) << std::endl;

    const int status = RunCommandFlow(dialog, waiter, options, output.status, output.err);
    run.outcome = waiter.outcome();
    run.statuses = host.statusChanges();
    return finish(deadline.expired() ? 1 : status);
}

}  // namespace tessel::cli
