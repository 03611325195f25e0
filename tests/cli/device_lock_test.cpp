// The per-device lock on the system's lock files (flock on POSIX, LockFileEx on Windows).
#include "cli/device_lock.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tessel::cli {
namespace {

// A console port of its own per test, so that runs of the suite side by side do not meet at one lock.
constexpr std::uint16_t kLockTestPort = 47311;

TEST(DeviceLock, OneRunPerDeviceUntilTheHolderLetsGoAndOtherDevicesAreFree) {
    std::string error;
    std::optional<DeviceLock> first = DeviceLock::acquire("127.0.0.1", kLockTestPort, error);
    ASSERT_TRUE(first) << error;

    // Another spelling of the same device meets the same lock, from the same process as a fleet's thread would.
    std::string busy;
    EXPECT_FALSE(DeviceLock::acquire("127.1", kLockTestPort, busy));
    EXPECT_NE(busy.find("another update of 127.0.0.1 (console port 47311) is running"), std::string::npos) << busy;
    // A name with an IPv6 address too is the device that its console connection reaches: its IPv4 address.
    EXPECT_FALSE(DeviceLock::acquire("localhost", kLockTestPort, busy));

    std::string otherError;
    EXPECT_TRUE(DeviceLock::acquire("127.0.0.1", kLockTestPort + 1, otherError)) << otherError;
    EXPECT_TRUE(DeviceLock::acquire("127.0.0.2", kLockTestPort, otherError)) << otherError;

    // A moved lock is still held; letting go of the last holder frees the device.
    std::optional<DeviceLock> moved(std::move(*first));
    first.reset();
    EXPECT_FALSE(DeviceLock::acquire("127.0.0.1", kLockTestPort, busy));
    moved.reset();
    EXPECT_TRUE(DeviceLock::acquire("127.0.0.1", kLockTestPort, error)) << error;
}

}  // namespace
}  // namespace tessel::cli
