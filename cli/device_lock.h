// One run per device at a time, across processes and the threads of a fleet.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tessel::cli {

// Held for the whole run of an update of one device. The device is named by its resolved address and console
// port, so that two spellings of one address meet at one lock.
class DeviceLock {
public:
    // The lock, or nullopt with why not: another run holds it, or the lock file cannot be made.
    static std::optional<DeviceLock> acquire(const std::string& address, std::uint16_t consolePort, std::string& error);
    DeviceLock(DeviceLock&& other) noexcept;
    DeviceLock& operator=(DeviceLock&&) = delete;
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;
    ~DeviceLock();

private:
    explicit DeviceLock(int fd) : fd_(fd) {}

    int fd_;
};

// The folder of the lock files: $XDG_RUNTIME_DIR/tessel, else /tmp/tessel-<uid>, owner-only.
std::string DeviceLockFolder();

}  // namespace tessel::cli
