// The per-device lock's folder and files on POSIX, where the folder may lie in a shared /tmp.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "cli/device_lock.h"
#include "platform/os/folders.h"

namespace tessel::cli {
namespace {

namespace fs = std::filesystem;

constexpr std::uint16_t kPosixLockTestPort = 47321;

// The lock folder in a scratch folder of the test ($XDG_RUNTIME_DIR/tessel).
class LockFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::optional<std::string> made = os::MakePrivateFolder();
        ASSERT_TRUE(made);
        scratch_ = *made;
        if (const char* saved = std::getenv("XDG_RUNTIME_DIR")) saved_ = saved;
        ::setenv("XDG_RUNTIME_DIR", scratch_.c_str(), 1);
        folder_ = scratch_ + "/tessel";
        ASSERT_EQ(DeviceLockFolder(), folder_);
    }
    void TearDown() override {
        if (saved_) {
            ::setenv("XDG_RUNTIME_DIR", saved_->c_str(), 1);
        } else {
            ::unsetenv("XDG_RUNTIME_DIR");
        }
        os::RemoveFolderTree(scratch_);
    }

    std::string scratch_;
    std::string folder_;
    std::optional<std::string> saved_;
};

// A fleet of thousands of devices leaves no lock files behind, and a device is free again at once.
TEST_F(LockFolderTest, ALockFileGoesWhenItsRunEnds) {
    std::string error;
    std::optional<DeviceLock> lock = DeviceLock::acquire("127.0.0.1", kPosixLockTestPort, error);
    ASSERT_TRUE(lock) << error;
    EXPECT_FALSE(fs::is_empty(folder_));
    lock.reset();
    EXPECT_TRUE(fs::is_empty(folder_));
    const std::optional<DeviceLock> again = DeviceLock::acquire("127.0.0.1", kPosixLockTestPort, error);
    EXPECT_TRUE(again) << error;
    std::string busy;
    EXPECT_FALSE(DeviceLock::acquire("::ffff:127.0.0.1", kPosixLockTestPort, busy));
}

// Whoever may write in the lock folder could take a device's lock or break ours.
TEST_F(LockFolderTest, AFolderOthersMayWriteInOrOwnIsRefused) {
    ASSERT_EQ(::mkdir(folder_.c_str(), 0700), 0);
    ASSERT_EQ(::chmod(folder_.c_str(), 0777), 0);
    std::string error;
    EXPECT_FALSE(DeviceLock::acquire("127.0.0.1", kPosixLockTestPort, error));
    EXPECT_EQ(error, "the lock folder " + folder_ + " cannot be used: other users may write in it");
    EXPECT_TRUE(fs::is_empty(folder_));

    ASSERT_EQ(::chmod(folder_.c_str(), 0700), 0);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(folder_.c_str(), 65534, 65534), 0);
        EXPECT_FALSE(DeviceLock::acquire("127.0.0.1", kPosixLockTestPort, error));
        EXPECT_EQ(error, "the lock folder " + folder_ + " cannot be used: another user owns it");
    }
}

}  // namespace
}  // namespace tessel::cli
