// A test of SkiffS.dll under Wine: a real FTP server through the broker, and a local folder in the
// Windows temporary folder, calling the library as a program would.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "SkiffS/SkiffS.h"
#include "brokered_ftp_server.h"

namespace tessel::test {

inline constexpr int kAscii = 0;
inline constexpr int kBinary = 1;
// How long a test waits for a call running on another thread before it gives up.
inline constexpr auto kWaitLimit = std::chrono::seconds(60);

inline std::string ReadLocal(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// Bytes that differ from block to block, so that a shifted or repeated block is noticed.
inline std::string PatternBytes(std::size_t size) {
    std::string bytes(size, '\0');
    std::uint32_t x = 2463534242u;
    for (char& c : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x);
    }
    return bytes;
}

class WineFtpTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::temp_directory_path() /
               ("tessel-" + std::string(info->test_suite_name()) + "-" + info->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        server_ = std::make_unique<BrokeredFtpServer>(ServerOptions());
    }
    void TearDown() override {
        server_.reset();
        std::filesystem::remove_all(dir_);
    }
    virtual BrokeredServerOptions ServerOptions() const { return {}; }

    int Send(const std::string& local, const std::string& remote, int mode = kBinary, int conversion = 0,
             const char* password = nullptr) {
        return CSkiffClient().Skiff_SendD("127.0.0.1", server_->options().user.c_str(),
                                          password ? password : server_->options().password.c_str(),
                                          server_->port(), mode, local.c_str(), remote.c_str(), 1, conversion);
    }
    int Get(const std::string& remote, const std::string& local, int mode = kBinary, int conversion = 0) {
        return CSkiffClient().Skiff_GetD("127.0.0.1", server_->options().user.c_str(),
                                         server_->options().password.c_str(), server_->port(), mode,
                                         remote.c_str(), local.c_str(), 1, conversion);
    }
    std::filesystem::path Local(const std::string& name) const { return dir_ / name; }
    std::string LocalFile(const std::string& name, const std::string& bytes) const {
        std::ofstream(Local(name), std::ios::binary | std::ios::trunc) << bytes;
        return Local(name).string();
    }
    int ServerCount(const std::string& prefix) const {
        int count = 0;
        for (const std::string& line : server_->Commands()) count += line.rfind(prefix, 0) == 0 ? 1 : 0;
        return count;
    }
    // Converted copies of this process that the library left behind.
    std::size_t LeftoverTemporaryFiles() const {
        const std::string ours = "skiffs-" + std::to_string(GetCurrentProcessId()) + "-";
        std::size_t left = 0;
        for (const auto& folder : std::filesystem::directory_iterator(std::filesystem::temp_directory_path())) {
            if (folder.path().filename().string().rfind(ours, 0) != 0) continue;
            for ([[maybe_unused]] const auto& file : std::filesystem::directory_iterator(folder.path())) ++left;
        }
        return left;
    }

    std::filesystem::path dir_;
    std::unique_ptr<BrokeredFtpServer> server_;
};

// Cancels the transfer for 127.0.0.1 when it goes out of scope: declared after the future of a transfer
// running in another thread, it ends that transfer before the future waits for it.
struct CancelOnExit {
    ~CancelOnExit() { Skiff_Cancel("127.0.0.1"); }
};

}  // namespace tessel::test
