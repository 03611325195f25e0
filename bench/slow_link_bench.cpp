// Runs a firmware update (two passes, a 1 MiB image) and a script update (30 listed web files of 4 KiB, with
// the autoscript move-aside and restore) through tessel-cli's run code against the simulated device over links
// of 50, 300 and 800 ms round trip at 1 Mbit/s, and prints for each the wall time, a floor, their ratio and the
// FTP commands and round trips per uploaded file. With --keep-ftp-session the uploads keep their FTP session
// open from one file to the next, as tessel-cli's option of that name makes them.
//
// The floor is the sum of
// - the pauses and timer waits the procedures make, and the simulator's own reply delays;
// - the bytes of every stored file over the rate;
// - the FTP round trips a client cannot avoid. A session (one per login: each upload, or with a kept session
//   each login the server saw) needs the connect (1), the greeting (1), USER (1), PASS (1) and PWD (1: the way
//   back to the login folder after the folder check); TYPE I (1) is needed each time a session changes the
//   transfer type, so once per session; each file needs the folder check, into its folder and back (2), EPSV
//   (1), STOR (1) and the confirmation after its last byte (1). QUIT's reply is not counted: nothing needs to
//   wait for it. A kept session's way back to the login folder before each folder check is not counted either:
//   the session is there already after the file before;
// - the console round trips: one per connection and one per line the device receives, less the 100 ms pause the
//   updater makes after each (counted above already; a round trip shorter than that adds nothing).
// A round trip is two one-way delays.
//
// Commands per uploaded file: the lines of the FTP server's command log over the STOR commands in it. Round
// trips per uploaded file: every command waits for its reply, each STOR also for the confirmation after its
// data, and each session for its connect and greeting.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "bench/update_run.h"
#include "demo_package.h"
#include "devsim_process.h"
#include "ftp_server.h"

namespace {

using namespace tessel;
namespace fs = std::filesystem;

constexpr int kRateKbit = 1000;
constexpr int kWebFiles = 30;
constexpr std::size_t kWebFileBytes = 4 * 1024;
constexpr std::size_t kImageBytes = 1024 * 1024;
constexpr int kExpansionDelayMs = 50;
constexpr double kPauseAfterConsoleLine = 0.100;

// The sample package with a 1 MiB firmware image and 30 web files in two folders.
bool BuildPackage(const fs::path& package, const fs::path& scratch) {
    fs::copy(TESSEL_SOURCE_DIR "/examples/demo", scratch, fs::copy_options::recursive);
    const fs::path image = scratch / "firmware" / "kbteva.bin";
    std::string bytes = test::ReadFileBytes(image);
    bytes.resize(kImageBytes, '\x5a');
    test::WriteFileBytes(image, bytes);
    std::string manifest = test::ReadFileBytes(scratch / "manifest.toml");
    manifest.erase(manifest.find("[[web]]"));
    for (int i = 0; i < kWebFiles; ++i) {
        const std::string name = "page" + std::to_string(i) + ".htm";
        test::WriteFileBytes(scratch / "web" / name, std::string(kWebFileBytes, static_cast<char>('a' + i % 26)));
        manifest += "[[web]]\nsource = \"web/" + name + "\"\ndevice_path = 'C:\\www\\" +
                    (i % 2 == 0 ? "" : "control\\") + name + "'\n\n";
    }
    test::WriteFileBytes(scratch / "manifest.toml", manifest);
    int status = -1;
    const std::string out =
        test::RunPack("build '" + (scratch / "manifest.toml").string() + "' '" + package.string() + "'", &status);
    if (status != 0) std::fprintf(stderr, "%s", out.c_str());
    return status == 0;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

int CountStarting(const std::vector<std::string>& lines, const std::string& prefix) {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(),
                                          [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
}

int CountContaining(const std::vector<std::string>& lines, const std::string& part) {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(),
                                          [&](const std::string& l) { return l.find(part) != std::string::npos; }));
}

struct Case {
    bench::UpdateRun run;
    double floor = 0;
    double dataSeconds = 0;
    int sessions = 0;
    int typeChanges = 0;
    int files = 0;
    int commands = 0;
    int consoleExchanges = 0;
};

Case Run(UpdateProcedure procedure, const fs::path& package, const fs::path& work, int roundTripMs) {
    const fs::path log = work / ("ftp-" + std::to_string(roundTripMs) + ".log");
    fs::remove(log);
    test::DevsimProcess device({"--firmware-version", "1.06.00", "--restart-time", "500", "--expansion-delay",
                                std::to_string(kExpansionDelayMs), "--link-delay", std::to_string(roundTripMs / 2),
                                "--link-rate", std::to_string(kRateKbit), "--ftp-log", log.string()});
    Case c;
    c.run = bench::RunUpdateAgainst(procedure, package, device.FtpPort(), device.ConsolePort());
    const std::vector<std::string> commands = Lines(test::ReadFileBytes(log));
    const std::vector<std::string> console = Lines(device.Output());
    std::map<std::string, double> sizes;
    for (const std::string& file : device.ListFiles()) {
        const std::size_t space = file.rfind(' ');
        sizes[file.substr(0, space)] = std::stod(file.substr(space + 1));
    }
    double bytes = 0;
    for (const std::string& command : commands) {
        if (command.rfind("STOR ", 0) == 0) bytes += sizes[command.substr(5)];
    }
    c.sessions = CountStarting(commands, "USER");
    c.typeChanges = CountStarting(commands, "TYPE");
    c.files = CountStarting(commands, "STOR");
    c.commands = static_cast<int>(commands.size());
    c.consoleExchanges = CountContaining(console, ": connected from") + CountContaining(console, ": login ID") +
                         CountContaining(console, ": login accepted") + CountContaining(console, ": login refused") +
                         CountContaining(console, ": received \"");
    const double roundTrip = roundTripMs / 1000.0;
    const int installs = procedure == UpdateProcedure::Firmware ? 2 : 0;
    const int ftpRoundTrips = 5 * c.sessions + c.typeChanges + 5 * c.files;
    c.dataSeconds = bytes * 8 / (kRateKbit * 1000.0);
    c.floor = c.run.waited + bench::SimulatorInstallDelays(installs, kExpansionDelayMs) + c.dataSeconds +
              ftpRoundTrips * roundTrip + c.consoleExchanges * std::max(0.0, roundTrip - kPauseAfterConsoleLine);
    return c;
}

void Print(const char* what, int roundTripMs, const Case& c) {
    const int roundTrips = c.commands + c.files + 2 * c.sessions;
    std::printf("%4d ms  %-9s %s wall %6.1f s  floor %6.1f s  ratio %.2f  (waits %.1f s, data %.1f s)  "
                "%d files in %d sessions: %.1f commands and %.1f round trips per file\n",
                roundTripMs, what, c.run.status == 0 ? "ok    " : "FAILED", c.run.wall, c.floor, c.run.wall / c.floor,
                c.run.waited, c.dataSeconds, c.files, c.sessions,
                c.files > 0 ? static_cast<double>(c.commands) / c.files : 0.0,
                c.files > 0 ? static_cast<double>(roundTrips) / c.files : 0.0);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path work = test::MakeTempDir("slow-link-bench");
    const fs::path package = work / "package";
    if (!BuildPackage(package, work / "source")) {
        std::fprintf(stderr, "cannot make the package\n");
        return 1;
    }
    std::vector<int> roundTrips = {50, 300, 800};
    // One round trip only, e.g. "slow_link_bench 300"; the FTP session kept across uploads:
    // "slow_link_bench 300 --keep-ftp-session".
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--keep-ftp-session") {
            setenv("SKIFFS_KEEP_SESSION", "1", 1);
        } else {
            roundTrips = {std::atoi(argv[i])};
        }
    }
    const char* keep = std::getenv("SKIFFS_KEEP_SESSION");
    std::printf("link: the round trip below, %d kbit/s each way; firmware image %zu bytes, %d web files of %zu; "
                "FTP session %s\n",
                kRateKbit, kImageBytes, kWebFiles, kWebFileBytes,
                keep != nullptr && std::string(keep) == "1" ? "kept across uploads" : "per upload");
    bool ok = true;
    for (const int roundTrip : roundTrips) {
        const Case firmware = Run(UpdateProcedure::Firmware, package, work, roundTrip);
        Print("firmware", roundTrip, firmware);
        const Case script = Run(UpdateProcedure::Script, package, work, roundTrip);
        Print("script", roundTrip, script);
        ok = ok && firmware.run.status == 0 && script.run.status == 0;
    }
    fs::remove_all(work);
    return ok ? 0 : 1;
}
