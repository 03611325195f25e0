// Fleet updates at scale: for 1, 10, 100 and 1000 simulated devices at once (or the counts given), one simulator
// with that many devices and one `tessel-cli firmware --inventory` run of two-pass firmware updates on all of
// them at once, and its figures: wall time and its ratio to one device, the updater's CPU time per device
// update, its peak memory and the memory each running device adds to it.
//   fleet_bench [N ...]
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "demo_package.h"
#include "devsim_process.h"
#include "ftp_server.h"

extern char** environ;

namespace {

using namespace tessel;

constexpr auto kLongestRun = std::chrono::minutes(20);

struct Figures {
    int succeeded = 0;
    double wall = 0;
    double cpuSeconds = 0;
    double peakMiB = 0;
    std::map<std::string, int> failures;  // devices by result and final message, for those that did not succeed
};

double Seconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

// Targets of a fleet run, against which the figures are read.
constexpr double kTargetRatio = 1.5;
constexpr double kTargetMiBPerDevice = 0.5;

// The address of device i (from 0) of the simulated fleet: 127.0.0.1 and the ones after it, carried into the
// next octets as the simulator places them.
std::string DeviceAddress(int i) {
    const unsigned address = (127u << 24) + 1u + static_cast<unsigned>(i);
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xff) + "." +
           std::to_string((address >> 8) & 0xff) + "." + std::to_string(address & 0xff);
}

// Runs tessel-cli with these arguments and environment, output to /dev/null, and waits for it (bounded):
// its own resource usage, not that of the simulators. False when it could not start or had to be killed.
bool RunCli(const std::vector<std::string>& arguments, const std::vector<std::string>& environment, rusage& usage) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> variables = environment;
    for (char** variable = environ; *variable != nullptr; ++variable) variables.emplace_back(*variable);
    std::vector<char*> envp;
    for (const std::string& variable : variables) envp.push_back(const_cast<char*>(variable.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return false;
    const auto giveUp = std::chrono::steady_clock::now() + kLongestRun;
    int status = 0;
    while (::wait4(pid, &status, WNOHANG, &usage) == 0) {
        if (std::chrono::steady_clock::now() > giveUp) {
            ::kill(pid, SIGKILL);
            ::wait4(pid, &status, 0, &usage);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

Figures RunFleet(int devices, const std::filesystem::path& work, const std::filesystem::path& package) {
    const test::DevsimProcess fleet({"--devices", std::to_string(devices), "--firmware-version", "1.06.00",
                                     "--restart-time", "300", "--expansion-delay", "20"});
    std::string csv = "name,address,ftp_port,console_port\n";
    for (int i = 0; i < devices; ++i) {
        csv += "logger-" + std::to_string(i) + "," + DeviceAddress(i) + "," + std::to_string(fleet.FtpPort()) + "," +
               std::to_string(fleet.ConsolePort()) + "\n";
    }
    const std::filesystem::path inventory = work / ("fleet-" + std::to_string(devices) + ".csv");
    test::WriteFileBytes(inventory, csv);
    const std::filesystem::path report = work / ("report-" + std::to_string(devices) + ".json");
    Figures figures;
    rusage usage{};
    const auto start = std::chrono::steady_clock::now();
    const bool ran = RunCli(
        {TESSEL_CLI_PROGRAM, "firmware", "--inventory", inventory.string(), "--login", "admin", "--parallel",
         std::to_string(devices), "--package", package.string(), "--report", report.string()},
        {"XDG_STATE_HOME=" + (work / "state").string(), "XDG_RUNTIME_DIR=" + work.string(), "TESSEL_PASSWORD=admin"},
        usage);
    figures.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    figures.cpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    figures.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
    const nlohmann::json written =
        nlohmann::json::parse(ran ? test::ReadFileBytes(report) : std::string(), nullptr, false);
    if (written.is_object() && written.contains("devices") && written["devices"].is_array()) {
        for (const nlohmann::json& device : written["devices"]) {
            const std::string result = device.value("result", "");
            if (result == "succeeded") {
                ++figures.succeeded;
            } else {
                ++figures.failures[result + ": " + device.value("final_message", "")];
            }
        }
    }
    return figures;
}

// The largest file of the package: the most that one running device holds of the file it uploads.
double LargestFileMiB(const std::filesystem::path& package) {
    std::uintmax_t largest = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(package)) {
        if (entry.is_regular_file()) largest = std::max(largest, entry.file_size());
    }
    return static_cast<double>(largest) / (1024.0 * 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
    if (counts.empty()) counts = {1, 10, 100, 1000};
    const std::filesystem::path work = test::MakeTempDir("fleet-bench");
    const std::filesystem::path package = work / "package";
    if (!test::BuildDemoPackage(package, work / "package-sources", true)) {
        std::fprintf(stderr, "cannot make the sample package\n");
        return 1;
    }
    const double fileMiB = LargestFileMiB(package);
    rlimit files{};
    getrlimit(RLIMIT_NOFILE, &files);
    std::printf(
        "memory per device = (peak RSS of tessel-cli with N devices - its peak RSS with one) / (N - 1) - the\n"
        "largest package file (%.2f MiB), which each running device may hold while it uploads\n"
        "targets: ratio to one at most %.2f, memory per device at most %.2f MiB; tessel-cli may open %llu files\n",
        fileMiB, kTargetRatio, kTargetMiBPerDevice, static_cast<unsigned long long>(files.rlim_cur));
    // The first count is the reference of the ratio and of the memory; one device unless told otherwise.
    Figures one;
    int failures = 0;
    for (const int devices : counts) {
        const Figures f = RunFleet(devices, work, package);
        if (one.wall == 0) one = f;
        std::printf(
            "%4d devices  %3d succeeded  wall %7.2f s  ratio to one %5.2f  updater cpu per device %.3f s  "
            "peak RSS %.1f MiB",
            devices, f.succeeded, f.wall, f.wall / one.wall, f.cpuSeconds / devices, f.peakMiB);
        if (devices > 1)
            std::printf("  memory per device %.2f MiB", (f.peakMiB - one.peakMiB) / (devices - 1) - fileMiB);
        std::printf("\n");
        for (const auto& [failure, count] : f.failures) std::printf("      %4d devices  %s\n", count, failure.c_str());
        std::fflush(stdout);
        failures += f.succeeded == devices ? 0 : 1;
    }
    std::filesystem::remove_all(work);
    return failures == 0 ? 0 : 1;
}
