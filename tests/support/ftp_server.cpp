#include "ftp_server.h"

#include "child_process.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tessel::test {

namespace {

constexpr int kStartTimeoutMs = 15000;
constexpr int kStopTimeoutMs = 2000;

// Reads the port line the server prints once it listens.
unsigned short ReadPort(int fd) {
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
    while (line.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd p{fd, POLLIN, 0};
        if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) {
            throw std::runtime_error("FTP server did not start");
        }
        char c;
        if (read(fd, &c, 1) != 1) throw std::runtime_error("FTP server ended at start");
        line += c;
    }
    return static_cast<unsigned short>(std::stoi(line));
}

}  // namespace

FtpServer::FtpServer(std::filesystem::path root, FtpServerOptions options)
    : root_(std::move(root)), log_(root_.string() + ".commands"), options_(std::move(options)) {
    std::filesystem::create_directories(root_ / "B:");
    std::filesystem::create_directories(root_ / "C:" / "www" / "control");
    std::vector<std::string> args = {"/usr/bin/python3", TESSEL_FTP_SERVER_SCRIPT,
                                     "--root",           root_.string(),
                                     "--user",           options_.user,
                                     "--password",       options_.password,
                                     "--log",            log_.string(),
                                     "--rate",           std::to_string(options_.rate)};
    if (options_.stallAfter >= 0) {
        args.push_back("--stall-after");
        args.push_back(std::to_string(options_.stallAfter));
    }
    if (options_.noEpsv) args.push_back("--no-epsv");
    if (!options_.pasvReply.empty()) {
        args.push_back("--pasv-reply");
        args.push_back(options_.pasvReply);
    }
    if (options_.multiline) args.push_back("--multiline");
    if (!options_.afterStore.empty()) {
        args.push_back("--after-store");
        args.push_back(options_.afterStore);
    }
    // The server's own log goes to a file beside its root, out of the test's output.
    int outputFd = -1;
    pid_ = SpawnChild(args, outputFd, root_.string() + ".log");
    try {
        port_ = ReadPort(outputFd);
    } catch (...) {
        close(outputFd);
        StopChild(pid_, 0);
        throw;
    }
    close(outputFd);
}

FtpServer::~FtpServer() {
    if (pid_ > 0) StopChild(pid_, kStopTimeoutMs);
}

std::vector<std::string> FtpServer::Commands() const {
    std::vector<std::string> lines;
    std::ifstream in(log_);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

void FtpServer::ClearCommands() const { std::ofstream(log_, std::ios::trunc); }

std::string FtpServer::Url() const {
    return "ftp://" + options_.user + ":" + options_.password + "@127.0.0.1:" + std::to_string(port_) + "/";
}

std::string RunCommand(const std::string& command, int* status) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) throw std::runtime_error("popen failed");
    std::array<char, 4096> buf;
    for (std::size_t n; (n = fread(buf.data(), 1, buf.size(), pipe)) > 0;) out.append(buf.data(), n);
    const int rc = pclose(pipe);
    if (status != nullptr) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return out;
}

}  // namespace tessel::test
