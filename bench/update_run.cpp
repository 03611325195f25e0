#include "bench/update_run.h"

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>

#include "bench/waited_time.h"
#include "cli/run_deadline.h"
#include "cli/run_loop.h"
#include "cli/run_stop.h"
#include "cli/run_update.h"
#include "cli/terminal_dialog_host.h"
#include "dialog/tessel_dlg.h"
#include "platform/asio/asio_stream_socket.h"
#include "platform/skiffs/skiffs_uploader.h"

namespace tessel::bench {

namespace {

// The simulator spaces the blocks of one reply at least this far apart.
constexpr int kBlockGapMs = 30;
// Blocks the simulator sends after the answer to the installation's question, and the pause the
// updater makes right after that answer: the first blocks arrive during that pause.
constexpr int kInstallBlocks = 4;
constexpr int kPauseAfterAnswerMs = 100;

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

UpdateRun RunUpdateAgainst(UpdateProcedure procedure, const std::filesystem::path& package, unsigned short ftpPort,
                           unsigned short consolePort) {
    std::ostringstream out;
    std::ostringstream err;
    cli::TerminalDialogHost host(out, err);
    SkiffsUploader uploader;
    cli::RunLoop loop;
    AsioSocketFactory sockets(loop.context());
    cli::UpdateEndWaiter waiter(loop);
    // The deadline ends the run as tessel-cli's does: its uploads cancelled, its loop ended.
    cli::RunStop stop;
    stop.attach(uploader, loop);
    WaitedTime waits(loop.context());
    CTesselDlg dialog({host, waits, waits, sockets, uploader, waiter});
    cli::CliOptions options;
    options.procedure = procedure;
    options.address = "127.0.0.1";
    options.login = "admin";
    options.password = "admin";
    options.ftpPort = std::to_string(ftpPort);
    options.consolePort = consolePort;
    cli::PrepareDialog(dialog, host, options, package.string());

    const double cpuBefore = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    UpdateRun run;
    {
        const cli::RunDeadline deadline(
            std::chrono::seconds(1200), std::chrono::seconds(5), [&stop] { stop.stop(); }, std::cerr,
            [] { std::_Exit(1); });
        run.status = cli::RunUpdate(dialog, waiter, procedure, err);
        if (deadline.expired()) run.status = 1;
    }
    run.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.cpu = CpuSeconds() - cpuBefore;
    run.waited = std::chrono::duration<double>(waits.waited()).count();
    if (run.status != 0) std::fprintf(stderr, "%s%s", out.str().c_str(), err.str().c_str());
    return run;
}

double SimulatorInstallDelays(int installs, int expansionDelayMs) {
    const int installMs = kInstallBlocks * std::max(expansionDelayMs, kBlockGapMs) - kPauseAfterAnswerMs;
    return installs * std::max(installMs, 0) / 1000.0;
}

}  // namespace tessel::bench
