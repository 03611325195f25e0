// Fleet updates at scale: for 1, 10, 50 and 100 simulated devices at once (or the counts given), one
// `tessel-cli firmware --inventory` run of two-pass firmware updates, and its figures: wall time and its ratio
// to one device, the updater's CPU time per device update, and the memory each running device adds to the
// tessel-cli process.
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
#include <memory>
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
};

double Seconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

// Another spelling of 127.0.0.1 per device (500 of them, short enough for the transfer library's host limit):
// the fleet refuses one address twice, as the library allows one transfer per host.
std::string Spelling(int i) {
    static const char* kZero[] = {"0", "00", "000", "0000", "0x0", "0x00", "0x000", "0X0", "0X00", "0X000"};
    static const char* kOne[] = {"1", "01", "001", "0x1", "0x01"};
    return std::string("127.") + kZero[(i / 10) % 10] + "." + kZero[i % 10] + "." + kOne[(i / 100) % 5];
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
    const std::string written = ran ? test::ReadFileBytes(report) : std::string();
    for (std::size_t at = written.find("\"result\": \"succeeded\""); at != std::string::npos;
         at = written.find("\"result\": \"succeeded\"", at + 1)) {
        ++figures.succeeded;
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
    if (counts.empty()) counts = {1, 10, 50, 100};
    const std::filesystem::path work = test::MakeTempDir("fleet-bench");
    const std::filesystem::path package = work / "package";
    if (!test::BuildDemoPackage(package, work / "package-sources", true)) {
        std::fprintf(stderr, "cannot make the sample package\n");
        return 1;
    }
    const double fileMiB = LargestFileMiB(package);
    std::printf(
        "memory per device = (peak RSS of tessel-cli with N devices - its peak RSS with one) / (N - 1) - the\n"
        "largest package file (%.2f MiB), which each running device may hold while it uploads\n",
        fileMiB);
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
        std::fflush(stdout);
        failures += f.succeeded == devices ? 0 : 1;
    }
    std::filesystem::remove_all(work);
    return failures == 0 ? 0 : 1;
}
