// A test with a real FTP server and a local folder, calling the library as a program would.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ftp_server.h"

namespace tessel::test {

inline constexpr int kAscii = 0;
inline constexpr int kBinary = 1;
// How long a test waits for a call running on another thread before it gives up.
inline constexpr auto kWaitLimit = std::chrono::seconds(30);

class SkiffsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Options of the server this test starts.
    virtual FtpServerOptions ServerOptions() const { return {}; }

    int Send(const std::string& local, const std::string& remote, int mode = kBinary, int passive = 1,
             int conversion = 0, const char* password = nullptr);
    int Get(const std::string& remote, const std::string& local, int mode = kBinary, int passive = 1,
            int conversion = 0);

    std::filesystem::path Local(const std::string& name) const { return dir_ / "local" / name; }
    std::filesystem::path Remote(const std::string& path) const { return server_->root() / path; }
    // Writes a local file and gives its path.
    std::string LocalFile(const std::string& name, const std::string& bytes) const;
    // The bytes that the curl command line downloads from the server for a path.
    std::string CurlDownload(const std::string& remotePath) const;
    // Whether the server received a command that starts with prefix.
    bool ServerSaw(const std::string& prefix) const;
    // How many commands the server received that start with prefix ("USER": how many logins).
    int ServerCount(const std::string& prefix) const;
    // Temporary files of this process that the library left behind.
    std::vector<std::string> LeftoverTemporaryFiles() const;

    std::filesystem::path dir_;
    std::unique_ptr<FtpServer> server_;
};

// Cancels the transfer for 127.0.0.1 when it goes out of scope: declared after the future of a transfer
// running in another thread, it ends that transfer before the future waits for it, also when an
// assertion leaves the test early.
struct CancelOnExit {
    ~CancelOnExit();
};

// The library's private folders of a process ($TMPDIR/skiffs-<pid>-XXXXXX).
std::vector<std::filesystem::path> PrivateTemporaryFolders(pid_t pid = getpid());

// Bytes that differ from block to block, so that a shifted or repeated block is noticed.
std::string PatternBytes(std::size_t size);

}  // namespace tessel::test
