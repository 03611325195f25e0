#include "file_load.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace skiffs {
namespace {

class FileLoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/skiffs-file-load-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir_ = name;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    // Takes the whole file through Next, in pieces of at most max bytes.
    static std::string Drain(FileLoad& load, std::size_t max, FileLoad::State& end) {
        std::string got;
        for (int polls = 0; polls < 100000; ++polls) {
            const FileLoad::Piece piece = load.Next(got.size(), max, std::chrono::milliseconds(100));
            got.append(piece.bytes);
            end = piece.state;
            if (piece.state == FileLoad::State::Failed) break;
            if (piece.state == FileLoad::State::Ended && got.size() == load.Size()) break;
        }
        return got;
    }

    std::filesystem::path dir_;
};

std::string Pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + i / 4093) & 0xFF);
    return bytes;
}

TEST_F(FileLoadTest, AFileOfManyReadsArrivesWholeWhateverThePiecesAskedFor) {
    const std::string bytes = Pattern((std::size_t{3} << 20) + 5);
    const std::string path = Write("f.bin", bytes);
    for (const std::size_t max : {std::size_t{1024}, std::size_t{65536}, std::size_t{5} << 20}) {
        const std::unique_ptr<FileLoad> load = FileLoad::Start(path);
        ASSERT_NE(load, nullptr);
        EXPECT_EQ(load->Size(), bytes.size());
        FileLoad::State end = FileLoad::State::Reading;
        const std::string got = Drain(*load, max, end);
        EXPECT_EQ(end, FileLoad::State::Ended) << max;
        EXPECT_EQ(got, bytes) << max;
        EXPECT_EQ(load->Whole().value_or("none"), bytes) << max;
        // Past the end there is nothing more, and no wait for it.
        const FileLoad::Piece after = load->Next(got.size(), max, std::chrono::milliseconds(0));
        EXPECT_TRUE(after.bytes.empty());
        EXPECT_EQ(after.state, FileLoad::State::Ended);
    }
}

TEST_F(FileLoadTest, AnEmptyFileEndsAtOnce) {
    const std::unique_ptr<FileLoad> load = FileLoad::Start(Write("empty.bin", ""));
    ASSERT_NE(load, nullptr);
    const FileLoad::Piece piece = load->Next(0, 1024, std::chrono::seconds(5));
    EXPECT_TRUE(piece.bytes.empty());
    EXPECT_EQ(piece.state, FileLoad::State::Ended);
    EXPECT_EQ(load->Size(), 0u);
    EXPECT_EQ(load->Whole().value_or("none"), "");
}

TEST_F(FileLoadTest, OnlyRegularFilesAreLoaded) {
    EXPECT_EQ(FileLoad::Start((dir_ / "missing.bin").string()), nullptr);
    EXPECT_EQ(FileLoad::Start(dir_.string()), nullptr);
}

TEST_F(FileLoadTest, ALoadLeftBeforeItsEndStopsItsReadingBeforeItsMemoryGoes) {
    const std::string path = Write("big.bin", Pattern(std::size_t{32} << 20));
    for (int i = 0; i < 20; ++i) {
        const std::unique_ptr<FileLoad> load = FileLoad::Start(path);
        ASSERT_NE(load, nullptr);
        EXPECT_FALSE(load->Next(0, 1024, std::chrono::seconds(5)).bytes.empty());
    }
}

}  // namespace
}  // namespace skiffs
