// Uploads and downloads one large file on loopback with SkiffS and with the curl command line,
// against the same FTP server, the two sides interleaved round by round so that noise hits both, and
// prints the median and minimum times, their ratios SkiffS/curl and SkiffS's peak memory.
//
//   skiffs_bench [size in MiB, default 64] [rounds, default 9] [--transfer-command COMMAND [--windows-paths]]
//
// With --transfer-command, SkiffS's side runs COMMAND (skiffs_transfer, or SkiffS.dll's under Wine:
// "wine build/windows/bench/skiffs_transfer.exe" inside scripts/wine-env) once per transfer, as curl's side
// runs curl; --windows-paths gives it the local files as Wine's drive Z: names them.
//
// The files and the server's folder go under $TEST_TMPDIR (else /tmp): a tmpfs there keeps the disk's
// write-back out of the figures.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "SkiffS/SkiffS.h"
#include "ftp_server.h"

namespace {

using tessel::test::FtpServer;

struct Run {
    double seconds = 0;
    double cpuSeconds = 0;
    long peakKiB = 0;
    int status = 0;
};

// Runs work in a child process, so that its peak memory is its own.
Run Measure(const std::function<int()>& work) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) _exit(work() == 0 ? 0 : 1);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    Run run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakKiB = usage.ru_maxrss;
    run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// The shell replaces itself with the command, so that the figures are the command's own.
int Shell(const std::string& command) {
    const std::string line = "exec " + command;
    execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
    return 127;
}

double Median(const std::vector<Run>& runs, double Run::*field) {
    std::vector<double> v;
    for (const Run& r : runs) v.push_back(r.*field);
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double Minimum(const std::vector<Run>& runs, double Run::*field) {
    double least = runs.front().*field;
    for (const Run& r : runs) least = std::min(least, r.*field);
    return least;
}

void Report(const char* what, const std::vector<Run>& skiffs, const std::vector<Run>& curl, std::size_t mib) {
    long peakKiB = 0;
    for (const Run& r : skiffs) peakKiB = std::max(peakKiB, r.peakKiB);
    const double wall = Median(skiffs, &Run::seconds) / Median(curl, &Run::seconds);
    const double cpu = Median(skiffs, &Run::cpuSeconds) / Median(curl, &Run::cpuSeconds);
    const double minimumRatio = Minimum(skiffs, &Run::seconds) / Minimum(curl, &Run::seconds);
    std::printf("%-9s SkiffS %.3f s (min %.3f s, cpu %.3f s), curl %.3f s (min %.3f s, cpu %.3f s): "
                "time ratio %.2f (of minima %.2f), cpu ratio %.2f; SkiffS peak memory %.1f MiB (file %+.1f MiB)\n",
                what, Median(skiffs, &Run::seconds), Minimum(skiffs, &Run::seconds), Median(skiffs, &Run::cpuSeconds),
                Median(curl, &Run::seconds), Minimum(curl, &Run::seconds), Median(curl, &Run::cpuSeconds), wall,
                minimumRatio, cpu, peakKiB / 1024.0, peakKiB / 1024.0 - static_cast<double>(mib));
}

void WriteTestFile(const std::filesystem::path& path, std::size_t bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::vector<char> block(1 << 20);
    std::uint32_t x = 12345;
    for (std::size_t done = 0; done < bytes; done += block.size()) {
        for (char& c : block) c = static_cast<char>(x = x * 1103515245u + 12345u);
        std::fwrite(block.data(), 1, std::min(block.size(), bytes - done), f);
    }
    std::fclose(f);
}

bool SameFiles(const std::filesystem::path& a, const std::filesystem::path& b) {
    return std::system(("cmp -s '" + a.string() + "' '" + b.string() + "'").c_str()) == 0;
}

// The command line of one transfer by a SkiffS program of its own (skiffs_transfer's arguments); the remote
// file is "B:/s.bin" both ways.
std::string Transfer(const std::string& command, const char* direction, unsigned short port,
                     const std::filesystem::path& local, bool windowsPaths) {
    std::string path = local.string();
    if (windowsPaths) {
        for (char& c : path) c = c == '/' ? '\\' : c;
        path = "Z:" + path;
    }
    return command + " " + direction + " 127.0.0.1 " + std::to_string(port) + " user secret '" + path + "' B:/s.bin";
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> numbers;
    std::string transferCommand;
    bool windowsPaths = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--transfer-command" && i + 1 < argc) {
            transferCommand = argv[++i];
        } else if (argument == "--windows-paths") {
            windowsPaths = true;
        } else {
            numbers.push_back(argument);
        }
    }
    const std::size_t mib = numbers.size() > 0 ? std::stoul(numbers[0]) : 64;
    const int rounds = numbers.size() > 1 ? std::stoi(numbers[1]) : 9;
    const std::filesystem::path dir = tessel::test::MakeTempDir("skiffs-bench");
    const std::filesystem::path file = dir / "payload.bin";
    WriteTestFile(file, mib << 20);
    FtpServer server(dir / "server");
    const unsigned short port = server.port();
    const std::string url = server.Url();

    std::vector<Run> skiffsUp, curlUp, skiffsDown, curlDown;
    bool ok = true;
    for (int round = 0; round < rounds; ++round) {
        Run up = Measure([&] {
            if (!transferCommand.empty()) return Shell(Transfer(transferCommand, "send", port, file, windowsPaths));
            return CSkiffClient().Skiff_SendD("127.0.0.1", "user", "secret", port, 1, file.c_str(), "B:\\s.bin",
                                              1, 0);
        });
        Run cup = Measure([&] { return Shell("curl -s -T '" + file.string() + "' '" + url + "B:/c.bin'"); });
        const std::filesystem::path gotS = dir / "s.got", gotC = dir / "c.got";
        Run down = Measure([&] {
            if (!transferCommand.empty()) return Shell(Transfer(transferCommand, "get", port, gotS, windowsPaths));
            return CSkiffClient().Skiff_GetD("127.0.0.1", "user", "secret", port, 1, "B:/s.bin", gotS.c_str(), 1,
                                             0);
        });
        Run cdown = Measure([&] { return Shell("curl -s -o '" + gotC.string() + "' '" + url + "B:/c.bin'"); });
        ok = ok && up.status == SKIFF_OK && cup.status == 0 && down.status == SKIFF_OK && cdown.status == 0 &&
             SameFiles(file, gotS) && SameFiles(file, gotC);
        skiffsUp.push_back(up);
        curlUp.push_back(cup);
        skiffsDown.push_back(down);
        curlDown.push_back(cdown);
    }
    std::filesystem::remove_all(dir);

    std::printf("file: %zu MiB, binary, passive, loopback, median of %d rounds, files and server folder in %s\n", mib,
                rounds, dir.parent_path().c_str());
    if (!transferCommand.empty()) std::printf("SkiffS's side: %s, one process per transfer\n", transferCommand.c_str());
    Report("upload", skiffsUp, curlUp, mib);
    Report("download", skiffsDown, curlDown, mib);
    std::printf("transfers %s\n", ok ? "verified byte for byte" : "FAILED");
    return ok ? 0 : 1;
}
