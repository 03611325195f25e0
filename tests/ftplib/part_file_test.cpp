#include "part_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace skiffs {
namespace {

namespace fs = std::filesystem;

class PartFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("skiffs-part-file-" + std::to_string(std::random_device{}()));
        ASSERT_TRUE(fs::create_directory(dir_));
        target_ = (dir_ / "data.bin").string();
    }
    void TearDown() override { fs::remove_all(dir_); }

    static void Write(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::size_t FilesInDir() const { return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {})); }

    fs::path dir_;
    std::string target_;
};

TEST_F(PartFileTest, CommittedDataTakesTheTargetsPlaceAndItsPermissions) {
    Write(target_, "old contents");
    fs::permissions(target_, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    {
        const std::unique_ptr<PartFile> part = PartFile::Create(target_);
        ASSERT_NE(part, nullptr);
        // Until the commit the target stays as it was, beside the part file.
        EXPECT_TRUE(part->Write("new "));
        EXPECT_TRUE(part->Write(std::string(100000, 'x')));
        EXPECT_EQ(Read(target_), "old contents");
        EXPECT_EQ(FilesInDir(), 2u);
        EXPECT_TRUE(part->Commit());
    }
    EXPECT_EQ(Read(target_), "new " + std::string(100000, 'x'));
    EXPECT_EQ(fs::status(target_).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(FilesInDir(), 1u) << "the part file became the target";
}

TEST_F(PartFileTest, DataGivenUpLeavesTheTargetAsItWasAndNothingBeside) {
    Write(target_, "old contents");
    {
        const std::unique_ptr<PartFile> part = PartFile::Create(target_);
        ASSERT_NE(part, nullptr);
        EXPECT_TRUE(part->Write("half a download"));
    }
    EXPECT_EQ(Read(target_), "old contents");
    EXPECT_EQ(FilesInDir(), 1u);
}

TEST_F(PartFileTest, NoPartFileInAFolderThatIsMissing) {
    EXPECT_EQ(PartFile::Create((dir_ / "missing" / "data.bin").string()), nullptr);
}

}  // namespace
}  // namespace skiffs
