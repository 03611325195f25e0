#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "dialog/update_management_file.h"

namespace tessel {

// A management file in a folder of its own.
class UpdateManagementFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        directory_ = std::filesystem::temp_directory_path() /
                     ("tessel-mng-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(directory_);
    }
    void TearDown() override { std::filesystem::remove_all(directory_); }

    void write(const std::string& content) { std::ofstream(directory_ / "UpDateMng.txt", std::ios::binary) << content; }
    std::string dir() const { return directory_.string(); }

    UpdateHeader header(const std::string& content) {
        write(content);
        UpdateHeader result;
        EXPECT_TRUE(ReadUpdateHeader(dir(), result));
        return result;
    }
    std::vector<UpdateFileEntry> entries(const std::string& content) {
        write(content);
        std::vector<UpdateFileEntry> list;
        std::uint8_t key = 0;
        EXPECT_EQ(ReadUpdateFileList(dir(), list, key), 0);
        return list;
    }
    std::uint8_t keyAfter(const std::string& content, std::uint8_t previous) {
        write(content);
        std::vector<UpdateFileEntry> list;
        std::uint8_t key = previous;
        EXPECT_EQ(ReadUpdateFileList(dir(), list, key), 0);
        return key;
    }

    std::filesystem::path directory_;
};

// A package comes from anyone: its names must stay names, and its text must be what the reader takes it for.
class HostileManagementFileTest : public UpdateManagementFileTest {
protected:
    // The fault of a list that must be refused; the list and key are checked to be untouched.
    ManagementFileFault refusal(const std::string& content) {
        write(content);
        std::vector<UpdateFileEntry> list{{"old", "old", "old"}};
        std::uint8_t key = 0x10;
        ManagementFileFault fault;
        EXPECT_EQ(ReadUpdateFileList(dir(), list, key, &fault), -1) << content;
        EXPECT_EQ(list.size(), 1u);
        EXPECT_EQ(key, 0x10);
        return fault;
    }
};

}  // namespace tessel
