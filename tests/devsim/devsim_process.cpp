#include "devsim_process.h"

#include "child_process.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <sstream>
#include <stdexcept>

namespace tessel::test {

namespace {

constexpr int kStartTimeoutMs = 20000;
constexpr int kStopTimeoutMs = 10000;

std::filesystem::path FreshRoot() {
    static int counter = 0;
    auto root = std::filesystem::temp_directory_path() /
                ("tessel-devsim-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(root);
    return root;
}

}  // namespace

DevsimProcess::DevsimProcess(std::vector<std::string> options) : root_(FreshRoot()) {
    std::vector<std::string> arguments = {"--root", root_.string(), "--console-port", "0", "--ftp-port", "0"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    arguments.insert(arguments.begin(), TESSEL_DEVSIM_PROGRAM);
    pid_ = SpawnChild(arguments, outputFd_);
    drainer_ = std::thread([this] { Drain(); });
    if (!WaitForOutput("ready ", kStartTimeoutMs) || !WaitForOutput("\n", kStartTimeoutMs)) {
        Stop();
        throw std::runtime_error("tessel-devsim did not start: " + Output());
    }
    std::smatch match;
    const std::string output = Output();
    if (!std::regex_search(output, match, std::regex("ready console=(\\d+) ftp=(\\d+)\n"))) {
        Stop();
        throw std::runtime_error("no ready line: " + output);
    }
    consolePort_ = static_cast<unsigned short>(std::stoi(match[1]));
    ftpPort_ = static_cast<unsigned short>(std::stoi(match[2]));
}

DevsimProcess::~DevsimProcess() {
    // A simulator that crashed, or that a sanitizer complained about, fails the test that ran it.
    if (pid_ > 0) {
        EXPECT_EQ(Stop(), 0) << Output();
    }
    const std::string output = Output();
    EXPECT_EQ(output.find("runtime error"), std::string::npos) << output;
    EXPECT_EQ(output.find("Sanitizer"), std::string::npos) << output;
    std::filesystem::remove_all(root_);
}

int DevsimProcess::Stop() {
    int status = -1;
    if (pid_ > 0) {
        status = StopChild(pid_, kStopTimeoutMs);
        pid_ = -1;
    }
    if (drainer_.joinable()) drainer_.join();
    if (outputFd_ >= 0) close(outputFd_);
    outputFd_ = -1;
    return status;
}

void DevsimProcess::Drain() {
    char buffer[4096];
    for (;;) {
        const auto count = read(outputFd_, buffer, sizeof buffer);
        if (count <= 0) break;
        std::lock_guard lock(mutex_);
        output_.append(buffer, static_cast<std::size_t>(count));
    }
    std::lock_guard lock(mutex_);
    drainEnded_ = true;
}

bool DevsimProcess::WaitForOutput(const std::string& text, int timeoutMs) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (output_.find(text) != std::string::npos) return true;
            if (drainEnded_) return false;
        }
        if (std::chrono::steady_clock::now() >= deadline) return false;
        usleep(10000);
    }
}

std::vector<std::string> DevsimProcess::ListFiles() const {
    const std::size_t from = Output().size();
    if (pid_ <= 0 || ::kill(pid_, SIGUSR1) != 0) return {};
    for (int waited = 0; waited < 10000; waited += 20) {
        const std::string output = Output();
        const std::size_t begin = output.find("files:\n", from);
        const std::size_t end = begin == std::string::npos ? begin : output.find("files end\n", begin);
        if (end != std::string::npos) {
            std::vector<std::string> files;
            std::istringstream lines(output.substr(begin + 7, end - begin - 7));
            for (std::string line; std::getline(lines, line);) {
                if (line.rfind("file ", 0) == 0) files.push_back(line.substr(5));
            }
            return files;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return {};
}

std::string DevsimProcess::Output() const {
    std::lock_guard lock(mutex_);
    return output_;
}

bool DevsimProcess::Upload(const std::filesystem::path& local, const std::string& remote, const std::string& user,
                           const std::string& password, const std::string& address) const {
    const std::string command = "curl -s -S --max-time 20 --ftp-method nocwd -T '" + local.string() + "' 'ftp://" +
                                user + ":" + password + "@" + address + ":" + std::to_string(ftpPort_) + "/" + remote +
                                "' 2>/dev/null";
    return std::system(command.c_str()) == 0;
}

std::vector<std::string> DevsimProcess::ListFolder(const std::string& remote, const std::string& address) const {
    const std::string command = "curl -s -S --max-time 20 --list-only 'ftp://admin:admin@" + address + ":" +
                                std::to_string(ftpPort_) + "/" + remote + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return {};
    std::string listing;
    char buffer[4096];
    for (std::size_t count; (count = fread(buffer, 1, sizeof buffer, pipe)) > 0;) listing.append(buffer, count);
    if (pclose(pipe) != 0) return {};
    std::vector<std::string> names;
    std::istringstream lines(listing);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) names.push_back(line);
    }
    std::sort(names.begin(), names.end());
    return names;
}

RunResult RunDevsim(const std::vector<std::string>& arguments) {
    RunResult result;
    int outputFd = -1;
    std::vector<std::string> argv = arguments;
    argv.insert(argv.begin(), TESSEL_DEVSIM_PROGRAM);
    const pid_t pid = SpawnChild(argv, outputFd);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
    char buffer[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd p{outputFd, POLLIN, 0};
        if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
        const auto count = read(outputFd, buffer, sizeof buffer);
        if (count <= 0) break;
        result.output.append(buffer, static_cast<std::size_t>(count));
    }
    close(outputFd);
    result.status = StopChild(pid, kStopTimeoutMs);
    return result;
}

}  // namespace tessel::test
