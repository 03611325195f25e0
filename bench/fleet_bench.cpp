// Fleet updates at scale: for 1, 10, 50 and 100 simulated devices at once (or the counts given), one
// `tessel-cli firmware --inventory` run of two-pass firmware updates, and its figures: wall time and its ratio
// to one device, the updater's CPU time per device update, and the largest memory of one device's run.
//   fleet_bench [N ...]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "demo_package.h"
#include "devsim_process.h"
#include "ftp_server.h"

namespace {

using namespace tessel;

struct Figures {
    int status = -1;
    int succeeded = 0;
    double wall = 0;
    double cpuPerDevice = 0;
    double peakMiB = 0;
};

double ChildCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Another spelling of 127.0.0.1 per device (500 of them, short enough for the transfer library's host limit):
// the fleet refuses one address twice, as the library allows one transfer per host.
std::string Spelling(int i) {
    static const char* kZero[] = {"0", "00", "000", "0000", "0x0", "0x00", "0x000", "0X0", "0X00", "0X000"};
    static const char* kOne[] = {"1", "01", "001", "0x1", "0x01"};
    return std::string("127.") + kZero[(i / 10) % 10] + "." + kZero[i % 10] + "." + kOne[(i / 100) % 5];
}

Figures RunFleet(int devices, const std::filesystem::path& work, const std::filesystem::path& package) {
    std::vector<std::unique_ptr<test::DevsimProcess>> fleet;
    std::string csv = "name,address,ftp_port,console_port\n";
    for (int i = 0; i < devices; ++i) {
        fleet.push_back(std::make_unique<test::DevsimProcess>(std::vector<std::string>{
            "--firmware-version", "1.06.00", "--restart-time", "300", "--expansion-delay", "20"}));
        csv += "logger-" + std::to_string(i) + "," + Spelling(i) + "," + std::to_string(fleet.back()->FtpPort()) + "," +
               std::to_string(fleet.back()->ConsolePort()) + "\n";
    }
    const std::filesystem::path inventory = work / ("fleet-" + std::to_string(devices) + ".csv");
    test::WriteFileBytes(inventory, csv);
    const std::filesystem::path report = work / ("report-" + std::to_string(devices) + ".json");
    const double cpuBefore = ChildCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    Figures figures;
    test::RunCommand("XDG_STATE_HOME='" + (work / "state").string() + "' XDG_RUNTIME_DIR='" + work.string() +
                         "' TESSEL_PASSWORD=admin timeout 1200 '" TESSEL_CLI_PROGRAM "' firmware --inventory '" +
                         inventory.string() + "' --login admin --parallel " + std::to_string(devices) + " --package '" +
                         package.string() + "' --report '" + report.string() + "' > /dev/null 2>&1",
                     &figures.status);
    figures.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    figures.cpuPerDevice = (ChildCpuSeconds() - cpuBefore) / devices;
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    figures.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
    const std::string written = test::ReadFileBytes(report);
    for (std::size_t at = written.find("\"result\": \"succeeded\""); at != std::string::npos;
         at = written.find("\"result\": \"succeeded\"", at + 1)) {
        ++figures.succeeded;
    }
    return figures;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
    if (counts.empty()) counts = {1, 10, 50, 100};
    const std::filesystem::path work = test::MakeTempDir("fleet-bench");
    const std::filesystem::path package = work / "package";
    if (!test::BuildDemoPackage(package, work / "package-sources", true)) {
        std::fprintf(stderr, "cannot make the sample package\n");
        return 1;
    }
    double single = 0;
    int failures = 0;
    for (const int devices : counts) {
        const Figures f = RunFleet(devices, work, package);
        if (single == 0) single = f.wall / 1.0;
        std::printf(
            "%4d devices  %3d succeeded  wall %7.2f s  ratio to one %5.2f  updater cpu per device "
            "%.3f s  largest process waited so far %.1f MiB\n",
            devices, f.succeeded, f.wall, f.wall / single, f.cpuPerDevice, f.peakMiB);
        std::fflush(stdout);
        failures += f.succeeded == devices ? 0 : 1;
    }
    std::filesystem::remove_all(work);
    return failures == 0 ? 0 : 1;
}
