// Runs a whole firmware update (two passes) and a whole script update (with the autoscript
// move-aside and restore) against the simulated device on loopback, and prints for each the wall
// time, the floor (the pauses and timer waits the procedures must make, plus the simulator's own
// reply delays) and their ratio, and the CPU time the updater used.
#include <sys/resource.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "dialog/tessel_dlg.h"
#include "cli/run_deadline.h"
#include "cli/run_update.h"
#include "cli/terminal_dialog_host.h"
#include "demo_package.h"
#include "devsim_process.h"
#include "ftp_server.h"
#include "platform/qt/qt_stream_socket.h"
#include "platform/skiffs/skiffs_uploader.h"
#include "bench/waited_time.h"

namespace {

using namespace tessel;
using Clock = std::chrono::steady_clock;

constexpr int kExpansionDelayMs = 50;
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

struct Figures {
    int status = -1;
    double wall = 0;
    double floor = 0;
    double cpu = 0;
};

Figures RunAgainstDevice(UpdateProcedure procedure, const std::filesystem::path& package, int installs) {
    test::DevsimProcess device({"--firmware-version", "1.06.00", "--restart-time", "500", "--expansion-delay",
                                std::to_string(kExpansionDelayMs)});
    std::ostringstream out;
    std::ostringstream err;
    cli::TerminalDialogHost host(out, err);
    QtSocketFactory sockets;
    SkiffsUploader uploader;
    cli::RunLoop loop;
    cli::UpdateEndWaiter waiter(loop);
    bench::WaitedTime waits;
    CTesselDlg dialog({host, waits, waits, sockets, uploader, waiter});
    cli::CliOptions options;
    options.procedure = procedure;
    options.address = "127.0.0.1";
    options.login = "admin";
    options.password = "admin";
    options.ftpPort = std::to_string(device.FtpPort());
    options.consolePort = device.ConsolePort();
    cli::PrepareDialog(dialog, host, options, package.string());

    const double cpuBefore = CpuSeconds();
    const auto start = Clock::now();
    Figures figures;
    {
        const cli::RunDeadline deadline(
            std::chrono::seconds(600), std::chrono::seconds(5),
            [&] {
                uploader.cancelAll();
                loop.stop();
            },
            std::cerr, [] { std::_Exit(1); });
        figures.status = cli::RunUpdate(dialog, waiter, procedure, err);
        if (deadline.expired()) figures.status = 1;
    }
    figures.wall = std::chrono::duration<double>(Clock::now() - start).count();
    figures.cpu = CpuSeconds() - cpuBefore;
    const int installMs = kInstallBlocks * std::max(kExpansionDelayMs, kBlockGapMs) - kPauseAfterAnswerMs;
    const double simulatorDelays = installs * std::max(installMs, 0) / 1000.0;
    figures.floor = std::chrono::duration<double>(waits.waited()).count() + simulatorDelays;
    if (figures.status != 0) std::fprintf(stderr, "%s%s", out.str().c_str(), err.str().c_str());
    return figures;
}

void Print(const char* what, const Figures& f) {
    std::printf("%-16s %s  wall %6.2f s  floor %6.2f s  ratio %.3f  updater cpu %.3f s\n", what,
                f.status == 0 ? "ok    " : "FAILED", f.wall, f.floor, f.wall / f.floor, f.cpu);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const std::filesystem::path work = test::MakeTempDir("update-bench");
    const std::filesystem::path package = work / "package";
    if (!test::BuildDemoPackage(package, work / "source", /*moveAside=*/true)) {
        std::fprintf(stderr, "cannot make the sample package\n");
        return 1;
    }
    const Figures firmware = RunAgainstDevice(UpdateProcedure::Firmware, package, 2);
    const Figures script = RunAgainstDevice(UpdateProcedure::Script, package, 0);
    std::filesystem::remove_all(work);
    Print("firmware update", firmware);
    Print("script update", script);
    return firmware.status == 0 && script.status == 0 ? 0 : 1;
}
