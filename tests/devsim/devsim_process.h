#pragma once

#include <sys/types.h>

#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tessel::test {

// A running tessel-devsim over a fresh device folder, on free loopback ports. Stopped (SIGTERM, then SIGKILL
// if it does not end) by Stop() or the destructor; everything it prints is kept.
class DevsimProcess {
public:
    explicit DevsimProcess(std::vector<std::string> options = {});
    ~DevsimProcess();
    DevsimProcess(const DevsimProcess&) = delete;
    DevsimProcess& operator=(const DevsimProcess&) = delete;

    // Sends SIGTERM and waits, bounded, for the exit; returns the exit status, or -1 when it had to be killed.
    int Stop();

    unsigned short ConsolePort() const { return consolePort_; }
    unsigned short FtpPort() const { return ftpPort_; }
    // The device folder: Root() / "B:" is drive B:.
    const std::filesystem::path& Root() const { return root_; }
    // Waits, bounded, until the output holds text.
    bool WaitForOutput(const std::string& text, int timeoutMs = 10000) const;
    std::string Output() const;
    // The device's files as the simulator lists them on SIGUSR1: "C:/system/autoscript.wcr 153" lines, in path
    // order; empty when no listing came within the bound.
    std::vector<std::string> ListFiles() const;

    // Uploads a local file to a device path such as "B:/kbteva.bin" with the curl command line; true on success.
    // A simulated fleet's devices each have an address of their own.
    bool Upload(const std::filesystem::path& local, const std::string& remote, const std::string& user = "admin",
                const std::string& password = "admin", const std::string& address = "127.0.0.1") const;
    // The names in a device folder such as "C:/" as the FTP service lists them (curl --list-only), sorted;
    // empty when the listing failed.
    std::vector<std::string> ListFolder(const std::string& remote, const std::string& address = "127.0.0.1") const;

private:
    void Drain();

    std::filesystem::path root_;
    pid_t pid_ = -1;
    int outputFd_ = -1;
    unsigned short consolePort_ = 0;
    unsigned short ftpPort_ = 0;
    mutable std::mutex mutex_;
    std::string output_;
    bool drainEnded_ = false;
    std::thread drainer_;
};

// Runs tessel-devsim with the given arguments to its end (bounded) and returns its exit status and output.
struct RunResult {
    int status = -1;
    std::string output;
};
RunResult RunDevsim(const std::vector<std::string>& arguments);

}  // namespace tessel::test
