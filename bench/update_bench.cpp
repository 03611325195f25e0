// Runs a whole firmware update (two passes) and a whole script update (with the autoscript
// move-aside and restore) against the simulated device on loopback, and prints for each the wall
// time, the floor (the pauses and timer waits the procedures must make, plus the simulator's own
// reply delays) and their ratio, and the CPU time the updater used.
#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/update_run.h"
#include "demo_package.h"
#include "devsim_process.h"
#include "ftp_server.h"

namespace {

using namespace tessel;

constexpr int kExpansionDelayMs = 50;

struct Figures {
    bench::UpdateRun run;
    double floor = 0;
};

Figures RunAgainstDevice(UpdateProcedure procedure, const std::filesystem::path& package, int installs) {
    test::DevsimProcess device({"--firmware-version", "1.06.00", "--restart-time", "500", "--expansion-delay",
                                std::to_string(kExpansionDelayMs)});
    Figures figures;
    figures.run = bench::RunUpdateAgainst(procedure, package, device.FtpPort(), device.ConsolePort());
    figures.floor = figures.run.waited + bench::SimulatorInstallDelays(installs, kExpansionDelayMs);
    return figures;
}

void Print(const char* what, const Figures& f) {
    std::printf("%-16s %s  wall %6.2f s  floor %6.2f s  ratio %.3f  updater cpu %.3f s\n", what,
                f.run.status == 0 ? "ok    " : "FAILED", f.run.wall, f.floor, f.run.wall / f.floor, f.run.cpu);
}

}  // namespace

int main() {
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
    return firmware.run.status == 0 && script.run.status == 0 ? 0 : 1;
}
