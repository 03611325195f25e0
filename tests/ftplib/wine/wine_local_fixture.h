// A test of SkiffS.dll under Wine with a local folder of its own in the Windows temporary folder,
// calling the library as a program would.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <future>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>

#include "SkiffS/SkiffS.h"

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

// Runs a call on another thread and gives its code, or nothing when it did not end in kWaitLimit.
// How long it took goes to the test's output, after what.
template <typename Call>
std::optional<int> Bounded(const char* what, Call call) {
    const auto start = std::chrono::steady_clock::now();
    std::future<int> running = std::async(std::launch::async, call);
    if (running.wait_for(kWaitLimit) != std::future_status::ready) {
        // The library's bound has failed: the thread is left to the process's end.
        new std::future<int>(std::move(running));
        return std::nullopt;
    }
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    std::cout << what << " ended after " << ms << " ms\n";
    return running.get();
}

class WineLocalTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::temp_directory_path() /
               ("tessel-" + std::string(info->test_suite_name()) + "-" + info->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::filesystem::path Local(const std::string& name) const { return dir_ / name; }
    std::string LocalFile(const std::string& name, const std::string& bytes) const {
        std::ofstream(Local(name), std::ios::binary | std::ios::trunc) << bytes;
        return Local(name).string();
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
};

}  // namespace tessel::test
