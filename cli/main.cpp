// tessel-cli: the update procedures without a window, for scripts and automation.
#include <unistd.h>

#include <QCoreApplication>
#include <iostream>

#include "cli/cli_options.h"
#include "cli/device_lock.h"
#include "cli/package_precheck.h"
#include "cli/progress_bar.h"
#include "cli/run_deadline.h"
#include "cli/run_update.h"
#include "cli/terminal_dialog_host.h"
#include "cli/traffic_log.h"
#include "cli/visible_text.h"
#include "dialog/cp932.h"
#include "dialog/program_directory.h"
#include "dialog/tessel_dlg.h"
#include "platform/qt/qt_event_pump.h"
#include "platform/qt/qt_stream_socket.h"
#include "platform/qt/qt_window_timers.h"
#include "platform/skiffs/skiffs_uploader.h"

using namespace tessel;
using namespace tessel::cli;

namespace {

// How long after the limit a run may take to come back from a cancelled upload before the process ends anyway.
constexpr std::chrono::seconds kDeadlineGrace{5};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // Arguments arrive in the terminal's encoding; the dialog's fields hold UTF-8.
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(QString::fromLocal8Bit(argv[i]).toStdString());
    const ParsedCommandLine command = ParseCommandLine(args);
    if (command.help) {
        std::cout << Usage();
        return 0;
    }
    if (!command.options) {
        std::cerr << "tessel-cli: " << command.error << "\n\n" << Usage();
        return 2;
    }
    const CliOptions& options = *command.options;
    const std::string package = options.packageDirectory.empty()
                                    ? ProgramDirectoryOf(QCoreApplication::applicationFilePath().toStdString())
                                    : options.packageDirectory;
    if (const std::optional<int> status =
            CheckPackageFirst(package, options.procedure, options.checkOnly, std::cout, std::cerr)) {
        return *status;
    }

    ProgressBar progressBar(std::cout);
    SkiffsUploader uploader(isatty(STDOUT_FILENO) == 1 ? &progressBar : nullptr);
    // From here on the run is bounded, whatever blocks: the address lookup, an upload, a connect.
    const RunDeadline deadline(std::chrono::seconds(options.timeoutSeconds), kDeadlineGrace,
                               [&uploader] { uploader.cancelAll(); });
    std::string lockError;
    const std::optional<DeviceLock> lock = DeviceLock::acquire(options.address, options.consolePort, lockError);
    if (!lock) {
        std::cerr << "tessel-cli: " << VisibleText(lockError) << std::endl;
        return 1;
    }

    TerminalDialogHost host(std::cout, std::cerr);
    QtSocketFactory qtSockets;
    TrafficLoggingSocketFactory loggedSockets(qtSockets, std::cerr,
                                              Utf8ToCp932(options.password).value_or(options.password));
    SocketFactory& sockets = options.verbose ? static_cast<SocketFactory&>(loggedSockets) : qtSockets;
    UpdateEndWaiter waiter;

    QtWindowTimers timers;
    QtEventPump events;
    CTesselDlg dialog({host, timers, events, sockets, uploader, waiter});
    PrepareDialog(dialog, host, options, package);
    if (!host.caption().empty()) std::cout << VisibleText(host.caption()) << std::endl;

    const int status = RunUpdate(dialog, waiter, options.procedure, std::cerr);
    return deadline.expired() ? 1 : status;
}
